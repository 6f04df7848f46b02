#pragma once
// One conversion: a source file decoded by an input plug-in and written as raw PCM ("PCM "),
// as WAV through the WavWriter ("WAV ") or through an encoder library (any other type).
//
// Decoding takes the extended-read path when a plug-in that takes the source exports it (a
// worker thread reads 32 KB blocks as fast as the decoder goes); otherwise, in burn mode only,
// the play path: the first plug-in for the file plays into the capture output, and its
// end-of-file notice reaches the job's window "convert" (class "convertClass"). A decoder that
// does not play through an output is refused before it plays (it could not be captured).
// Decided beside the system's rules: the WavWriter's resampler and a library encoder are drained
// at the end on both paths (PrepareToFinish too on the play path), so that every sample the
// source had reaches the file; a destination that names the source is refused.
//
// Contract: start and end on the main thread, end after start whatever start answered (the
// destructor ends too). start answers false with errorText() set and leaves nothing behind. end
// stops the decoder, waits up to 20 s for the worker and releases the encoder; a job ended
// before its decoder finished raises no finished message or status and its destination is
// removed. end answers false when the worker is still running after the wait: the job must
// then be kept until finishEnd() has joined it.
//
// Error policy: nothing throws; failures are texts (errorText) and statuses (progress.h).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "axserver/convert/capture_output.h"
#include "axserver/convert/conversion_output.h"
#include "axserver/convert/conversion_window.h"
#include "axserver/convert/encoder_choice.h"
#include "axserver/convert/extended_read.h"
#include "axserver/convert/progress.h"
#include "axserver/convert/wav_writer.h"
#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/client_link.h"

namespace vexa {

struct ConversionRequest {
    std::string source;
    std::string destination;
    uint32_t outputType = 0;
    WavParameters wav;
    win::HWND notifyWindow = 0;
};

// What every job of one server shares. Outlives its jobs.
struct ConversionContext {
    InputPluginHost& inputs;
    ClientLink& client;
    CaptureOutput& capture;
    std::string pluginFolder;
    std::string configFile;
    SonariWindow serverWindow = 0;
    bool burnMode = false;
};

class ConversionJob final : private CaptureTarget {
  public:
    ConversionJob(ConversionRequest request, ConversionContext& context) noexcept;
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;
    ~ConversionJob() override;

    bool start() noexcept;
    bool end() noexcept;
    // Joins a worker that outlived end's wait, then releases what end could not.
    void finishEnd() noexcept;

    const std::string& errorText() const noexcept { return errorText_; }
    // The destination actually written (after the WAV renaming).
    const std::string& destination() const noexcept { return request_.destination; }
    // True once the decoder has ended and the file is complete (any thread).
    bool finished() const noexcept { return finished_.load(); }

    // Decoded bytes and the expected total (0 when unknown); main thread, once finished() (the
    // play path sets them on the plug-in's thread).
    int64_t processedBytes() const noexcept { return progress_ ? progress_->processedBytes() : 0; }
    int64_t expectedBytes() const noexcept { return totalBytes_; }

    // The conversion window's end-of-file notice (main thread).
    void decoderEnded() noexcept;

  private:
    bool fail(const char* text) noexcept;
    bool startExtendedRead(SonariInModule* module, const ExtendedReadEntries& entries);
    bool startPlayPath(SonariInModule* module);
    bool prepareOutput();
    void runWorker() noexcept;
    void complete(bool decoderEnded) noexcept;
    void releaseEnded() noexcept;

    int32_t write(const char* buffer, int32_t byteCount) noexcept override;
    void close() noexcept override;

    ConversionRequest request_;
    ConversionContext& context_;
    std::string errorText_;
    kinvo::ffmpeg::PcmFormat decoded_;
    int64_t totalBytes_ = 0;

    // Extended-read path.
    std::optional<ExtendedReadEntries> read_;
    SonariReadHandle readHandle_ = 0;
    std::thread worker_;
    std::mutex workerMutex_;                  // guards workerDone_ for the end's wait
    std::condition_variable workerFinished_;  // workerDone_ became true
    bool workerDone_ = false;

    // Play path.
    SonariInModule* playModule_ = nullptr;
    bool playStopped_ = false;  // main thread
    bool captureAttached_ = false;
    std::unique_ptr<ConversionWindow> window_;
    std::atomic<bool> started_{false};    // set last by start: the capture may write
    std::atomic<bool> abandoned_{false};  // start failed or end came: the capture drops data

    // Both paths: written by the converting thread until it completes, read after.
    std::optional<ChosenEncoder> encoder_;
    std::optional<ConversionOutput> output_;
    std::optional<Progress> progress_;
    std::atomic<int32_t> stopFlag_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> completed_{false};
    bool ended_ = false;
};

}  // namespace vexa
