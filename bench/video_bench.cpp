// The whole way from a file to the screen: the CPU time vexahost spends playing a 60-second
// 1280 x 720 H.264 file in its video window, beside ffplay -autoexit playing the same file in a
// window of the same size on the same display. The file has no sound, so both are paced by their
// own clocks and neither needs a sound server. Runs on $DISPLAY, or on a private Xvfb when none
// is set.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_display.h"
#include "bench/process_cpu.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

using kinvo::bench::spawnQuietly;

struct Media {
    std::string folder;
    std::string minute;
};

const Media& media() {
    static Media made = [] {
        Media m;
        char pattern[] = "/tmp/bench_video_XXXXXX";
        m.folder = mkdtemp(pattern);
        m.minute = m.folder + "/minute720.mp4";
        std::system(("ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "
                     "testsrc2=size=1280x720:rate=25:duration=60 -c:v libx264 -preset veryfast "
                     "-pix_fmt yuv420p '" +
                     m.minute + "'")
                        .c_str());
        return m;
    }();
    return made;
}

bool ready(benchmark::State& state) {
    static kinvo::bench::BenchDisplay display;
    if (!display.ok()) {
        state.SkipWithError("no X display and no Xvfb");
        return false;
    }
    if (access(media().minute.c_str(), R_OK) != 0) {
        state.SkipWithError("the ffmpeg tool could not make the file");
        return false;
    }
    return true;
}

using kinvo::bench::cpuSeconds;

void BM_PlayVideoMinuteVexahost(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        vexa::VexaClient client;
        std::vector<int32_t> events;
        client.setEventHandler([&events](const vexa::ClientEvent& e) {
            if (e.kind == vexa::ClientEvent::Kind::kEvent) {
                events.push_back(e.code);
            }
        });
        if (!client.start(VEXAHOST_PATH, 20s)) {
            state.SkipWithError("vexahost did not start");
            return;
        }
        // A top-level video window that takes the stream's size.
        client.call(vexa::CMD_SET_VIDEO_PARENT, {vexa::Value::l(0)});
        client.call(vexa::CMD_APPEND, {vexa::Value::s(media().minute)});
        const pid_t pid = client.serverProcess()->pid();
        const double before = cpuSeconds(pid);
        const auto began = Clock::now();
        client.call(vexa::CMD_PLAY);
        const bool ended = client.waitFor(
            [&] {
                return std::find(events.begin(), events.end(), vexa::kEventTrackEndHandled) !=
                       events.end();
            },
            120s);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        state.counters["cpu_s"] = cpuSeconds(pid) - before;
        const vexa::Reply size = client.call(vexa::CMD_GET_VIDEO_SIZE);
        state.counters["width"] = size.number(0);
        client.closeWindow();
        client.waitFor([&] { return !client.serverRunning(); }, 20s);
        if (!ended) {
            state.SkipWithError("the track did not end");
            return;
        }
    }
}
BENCHMARK(BM_PlayVideoMinuteVexahost)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_PlayVideoMinuteFfplay(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        const auto began = Clock::now();
        const pid_t pid =
            spawnQuietly({"ffplay", "-autoexit", "-an", "-x", std::to_string(kWidth), "-y",
                          std::to_string(kHeight), "-loglevel", "quiet", media().minute});
        if (pid < 0) {
            state.SkipWithError("ffplay did not start");
            return;
        }
        const double cpu = kinvo::bench::waitForCpuSeconds(pid);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        state.counters["cpu_s"] = cpu;
    }
}
BENCHMARK(BM_PlayVideoMinuteFfplay)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
