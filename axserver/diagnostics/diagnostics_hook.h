// The optional diagnostics library: found, loaded and initialised as the first act of the
// process. Its outcome changes nothing else: with or without it the program runs the same way.
//
// Search order: a library of that name already loaded in the process; else the folder named by
// the machine registry's "InstallDir" string (non-empty) under the diagnostics key; else the
// program's own folder. The ".dll" name is loaded as ".so". Then FCLibraryVersion(8) must answer
// at least 6, and FCInitializeWithManifestInternalEx({1, 8, manifest, 0}) - or, without it,
// FCInitializeWithManifestInternal(8, manifest) - must answer 0 or 3. Any failure releases the
// library and forgets its entry points. Nothing of the library is called at exit.
//
// Main thread only. Errors are not reported: the result says whether diagnostics run.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "axserver/diagnostics/texts.h"

namespace vexa {

// Where the hook meets the system; the real one uses the platform layer, tests give fakes.
class DiagnosticsEnv {
  public:
    virtual ~DiagnosticsEnv() = default;
    // A handle of the library when one of that name is already loaded in the process, else null;
    // like one from load(), it holds a reference that release() gives back.
    virtual void* findLoaded(const std::string& name) = 0;
    // The registry string value, nullopt when the key, the value or a string type is missing.
    virtual std::optional<std::string> installDir() = 0;
    // The full path of the program's executable.
    virtual std::string programPath() = 0;
    virtual void* load(const std::string& path) = 0;  // null when it cannot be loaded
    virtual void* symbol(void* library, const char* name) = 0;
    virtual void release(void* library) = 0;
};

// The record FCInitializeWithManifestInternalEx takes.
struct DiagnosticsManifestRecord {
    int32_t first;   // 1
    int32_t second;  // 8
    const char* manifest;
    int32_t last;  // 0
};

// Diagnostics state of the process (one per process, kept by the server core).
class DiagnosticsHook {
  public:
    explicit DiagnosticsHook(DiagnosticsEnv& env) : env_(env) {}
    DiagnosticsHook(const DiagnosticsHook&) = delete;
    DiagnosticsHook& operator=(const DiagnosticsHook&) = delete;

    // Runs the search, the load and the two calls; true when diagnostics are running.
    bool start(const char* manifest);

    bool running() const { return useCount_ > 0; }
    uint16_t useCount() const { return useCount_; }
    void* entryPoint(int index) const { return entryPoints_[index]; }

  private:
    void* findLibrary();
    void endAttempt() noexcept;

    DiagnosticsEnv& env_;
    void* library_ = nullptr;
    uint16_t useCount_ = 0;
    std::array<void*, diag::kEntryPointCount> entryPoints_{};
};

// The environment of a real process: the platform's library loader and registry stand-in. It
// holds the loaded library, so it lives as long as diagnostics may run.
std::unique_ptr<DiagnosticsEnv> makeProcessDiagnosticsEnv();

}  // namespace vexa
