#pragma once
// A small host for in_mova.so: the program's side of the plug-in's weak host functions (messages,
// the video window's services, the registry), a recording video output, the plug-in loaded as the
// host loads it, and the counters of the stand-in movie runtime (fake_movie_runtime.c).

#include <sonari/host_windows.h>
#include <sonari/in_module.h>
#include <sonari/video_output.h>

#include <chrono>
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

// What the plug-in did to the host; every member under lock.
struct Recorder {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::pair<int32_t, int32_t>> statuses;
    std::vector<int32_t> events;
    std::vector<Posted> posts;
    // registry
    std::optional<uint32_t> version;
    std::string runtimeFolder;
    // video output
    bool offerVideo = true;
    int opens = 0, closes = 0;
    int32_t openWidth = 0, openHeight = 0;
    uint32_t openType = 0;
    // the video window
    std::map<SonariWindow, SonariWindowProc> procs;
    SonariRect client{0, 0, 640, 360};
    std::vector<SonariRect> fills;
    std::vector<uintptr_t> timers;
    int placements = 0;

    void reset();
    // Waits up to 5 s for the test on the recorder (taken under lock).
    bool waitFor(const std::function<bool()>& done);
    bool posted(uint32_t message);
};
Recorder& recorder();

// The video window's procedure before the plug-in subclassed it.
intptr_t originalProcedure(SonariWindow, uint32_t, uintptr_t, intptr_t);
// Runs the video window's current procedure, as the window's own thread would.
intptr_t deliver(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
// Delivers what the plug-in posted to the video window so far.
void deliverPosted();

// in_mova.so loaded, its host fields set and init called; quit and unload when it goes.
class MovaPlugin {
  public:
    MovaPlugin();
    ~MovaPlugin();
    MovaPlugin(const MovaPlugin&) = delete;
    MovaPlugin& operator=(const MovaPlugin&) = delete;
    SonariInModule& operator*() const { return *record_; }
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
    template <typename T>
    T read(const char* name) const {
        lock_();
        const T value = *static_cast<const T*>(symbol(name));
        unlock_();
        return value;
    }

  private:
    void* symbol(const char* name) const;
    void* library_ = nullptr;
    void (*lock_)() = nullptr;
    void (*unlock_)() = nullptr;
};

// Sets the registry so that the plug-in finds the stand-in runtime.
void useFakeRuntime(uint32_t version = 0x07008000);

}  // namespace kinvo::in_mova::testing
