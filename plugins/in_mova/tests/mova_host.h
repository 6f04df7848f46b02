#pragma once
// A small host for in_mova.so: the program's side of the plug-in's weak host functions (messages,
// subclassing, the registry), a video output that counts, the plug-in loaded as the host loads
// it, and the counters of the stand-in movie runtime (fake_movie_runtime.c).

#include <sonari/host_windows.h>
#include <sonari/in_module.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kinvo::in_mova::testing {

inline constexpr SonariWindow kHostWindow = 1;
inline constexpr SonariWindow kVideoWindow = 0x51;

struct Posted {
    SonariWindow window;
    uint32_t message;
    intptr_t lParam;
};

// What the plug-in did to the host, and what the host offers it; every member under lock.
struct Recorder {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::pair<int32_t, int32_t>> statuses;
    std::vector<int32_t> events;
    std::vector<Posted> posts;
    std::optional<uint32_t> version;  // the registry's "Version"
    std::string runtimeFolder;        // the registry's folder of the runtime
    bool offerVideo = true;
    int opens = 0, closes = 0;
    std::map<SonariWindow, SonariWindowProc> procs;  // window procedures, once subclassed

    // Clears the record and registers the stand-in runtime.
    void reset();
    // Waits up to 5 s for done (called under lock).
    bool waitFor(const std::function<bool()>& done);
    bool posted(SonariWindow window, uint32_t message, intptr_t lParam);
};
Recorder& recorder();

// The video window's procedure before the plug-in subclassed it.
intptr_t originalProcedure(SonariWindow, uint32_t, uintptr_t, intptr_t);

// in_mova.so loaded, its host fields set and init called; quit and unload when it goes.
class MovaPlugin {
  public:
    MovaPlugin();
    ~MovaPlugin();
    MovaPlugin(const MovaPlugin&) = delete;
    MovaPlugin& operator=(const MovaPlugin&) = delete;
    SonariInModule* operator->() const { return record_; }
    SonariGetExtendedFileInfoFn extendedInfo() const;
    std::pair<std::string, int32_t> fileInfo(const char* name) const;

  private:
    void* library_ = nullptr;
    SonariInModule* record_ = nullptr;
};

// The stand-in runtime kept loaded while the object lives, and its counters.
class FakeRuntime {
  public:
    FakeRuntime();
    ~FakeRuntime();
    FakeRuntime(const FakeRuntime&) = delete;
    FakeRuntime& operator=(const FakeRuntime&) = delete;
    int counter(const char* name) const;
    std::string lastAddress() const;

  private:
    void* library_ = nullptr;
    void (*lock_)() = nullptr;
    void (*unlock_)() = nullptr;
};

}  // namespace kinvo::in_mova::testing
