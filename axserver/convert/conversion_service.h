#pragma once
// The running conversions of one server: starts jobs and hands out their handles, ends and
// releases them, and offers encoder options to the encoder libraries.
//
// Threads: main thread only (the jobs' own threads never call it). Error policy: nothing throws;
// a failed start answers the job's error text, an unknown handle (one ended already, or never
// given) is ignored.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "axserver/convert/capture_output.h"
#include "axserver/convert/conversion_job.h"

namespace vexa {

class ConversionService {
  public:
    ConversionService(InputPluginHost& inputs, ClientLink& client, const std::string& moduleDir,
                      SonariWindow serverWindow, bool burnMode);
    ConversionService(const ConversionService&) = delete;
    ConversionService& operator=(const ConversionService&) = delete;
    ~ConversionService();

    // The job's handle (1 and up), or the error text of a start that failed.
    std::variant<int32_t, std::string> start(ConversionRequest request) noexcept;
    // Ends and releases the job; unknown handles do nothing.
    void end(int32_t handle) noexcept;
    // Ends every job (before the input plug-ins are unloaded).
    void endAll() noexcept;
    // The jobs not yet ended.
    size_t jobCount() const noexcept { return jobs_.size(); }
    // True once the job's decoder has ended and its file is complete.
    bool finished(int32_t handle) const noexcept;
    // A finished job's decoded bytes and expected total (0 when unknown); 0 and 0 for an unknown
    // handle or one still running.
    std::pair<int64_t, int64_t> progressOf(int32_t handle) const noexcept;
    // The destination a job writes (after the WAV renaming); "" for an unknown handle.
    std::string destinationOf(int32_t handle) const;

    // Command 761: true when an encoder library took the option.
    bool setEncoderItem(uint32_t outputType, const std::string& item,
                        const std::string& value) noexcept;

  private:
    CaptureOutput capture_;
    ConversionContext context_;
    std::map<int32_t, std::unique_ptr<ConversionJob>> jobs_;
    // Jobs whose worker outlived the end's wait; joined when the service goes.
    std::vector<std::unique_ptr<ConversionJob>> lingering_;
    int32_t nextHandle_ = 1;
};

}  // namespace vexa
