// The playback control library as the browser loads it from the build's program folder: the
// time from creating a control to its window-ready event (vexahost started and ready), the time
// Release takes on the caller's thread, and the time until that vexahost has ended.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "controls/abi/component.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class Sink final : public kinvo::component::PlaybackEvents {
  public:
    void SonariMsgEvent(std::int32_t code) noexcept override {
        std::lock_guard lock(lock_);
        if (code == kinvo::component::kEventWindowReady) {
            ready_ = true;
            changed_.notify_all();
        }
    }
    void SonariStatus(std::int32_t, std::int32_t) noexcept override {}
    void SonariMetaData(const char*, std::int32_t) noexcept override {}
    bool waitReady() {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, 15s, [&] { return ready_; });
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool ready_ = false;
};

int serversRunning() {
    const std::filesystem::path server = std::filesystem::path(KINVO_BIN_DIR) / "vexahost";
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::error_code gone;
        if (std::filesystem::read_symlink(entry.path() / "exe", gone) == server && !gone) {
            ++count;
        }
    }
    return count;
}

void BM_ControlReadyAndRelease(benchmark::State& state) {
    const std::string library = std::string(KINVO_BIN_DIR) + "/Components/playback_control.so";
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto create = handle != nullptr
                      ? reinterpret_cast<kinvo::component::PlaybackControl* (*)(std::uint32_t)>(
                            ::dlsym(handle, "KinvoCreatePlaybackControl"))
                      : nullptr;
    if (create == nullptr) {
        state.SkipWithError("the playback control library cannot be loaded");
        return;
    }
    double releaseMs = 0;
    double goneMs = 0;
    for (auto _ : state) {
        Sink sink;
        const auto start = Clock::now();
        kinvo::component::PlaybackControl* control = create(kinvo::component::kAbiVersion);
        control->setCallback(&sink);
        if (!sink.waitReady()) {
            state.SkipWithError("no window-ready event");
            control->Release();
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        const auto releasing = Clock::now();
        control->Release();
        releaseMs += std::chrono::duration<double, std::milli>(Clock::now() - releasing).count();
        while (serversRunning() > 0 && Clock::now() - releasing < 10s) {
            std::this_thread::sleep_for(5ms);
        }
        goneMs += std::chrono::duration<double, std::milli>(Clock::now() - releasing).count();
    }
    state.counters["release_ms"] = benchmark::Counter(releaseMs / state.iterations());
    state.counters["server_gone_ms"] = benchmark::Counter(goneMs / state.iterations());
}
BENCHMARK(BM_ControlReadyAndRelease)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
