// Movies through the QuickTime plug-in. The CPU time vexahost spends playing a 60-second
// 1280 x 720 ".mov" (H.264 and AAC) through in_mova in its video window, beside the same bytes
// named ".mp4" through in_av and beside ffplay -autoexit, all with their sound on a private sound
// server. Then the time from play to the movie's first picture in the video window, for a local
// movie and for the same movie served over loopback HTTP. Runs on $DISPLAY, or on a private Xvfb.
#include <benchmark/benchmark.h>
#include <qtml/qtml.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "axserver/download/tests/loopback_server.h"
#include "bench/bench_display.h"
#include "bench/process_cpu.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "platform/registry.h"
#include "runtimes/qtml/install/runtime_registration.h"

// After httplib, whose names Xlib's macros would take.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using kinvo::bench::cpuSeconds;

struct Media {
    std::string folder;
    std::string minuteMov;  // 60 s, 1280 x 720, H.264 + AAC
    std::string minuteMp4;  // the same bytes for in_av
    std::string shortMov;   // 5 s of one colour, 640 x 360, for the first picture
};

bool make(const std::string& args, const std::string& out) {
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -nostdin -y " + args + " '" + out + "'";
    return std::system(command.c_str()) == 0;
}

const Media& media() {
    static Media made = [] {
        Media m;
        char pattern[] = "/tmp/bench_mova_XXXXXX";
        m.folder = mkdtemp(pattern);
        m.minuteMov = m.folder + "/minute720.mov";
        m.minuteMp4 = m.folder + "/minute720.mp4";
        m.shortMov = m.folder + "/colour.mov";
        make(
            "-f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 -f lavfi -i "
            "sine=frequency=440:duration=60 -c:v libx264 -preset veryfast -pix_fmt yuv420p "
            "-c:a aac -shortest",
            m.minuteMov);
        std::filesystem::copy_file(m.minuteMov, m.minuteMp4,
                                   std::filesystem::copy_options::overwrite_existing);
        make(
            "-f lavfi -i color=c=0x3080E0:size=640x360:rate=25:duration=5 -f lavfi -i "
            "sine=frequency=440:duration=5 -c:v libx264 -preset veryfast -pix_fmt yuv420p "
            "-c:a aac -shortest -movflags +faststart",
            m.shortMov);
        return m;
    }();
    return made;
}

// The program's surroundings: a display, a sound server and a registry that knows the runtime.
struct Surroundings {
    kinvo::bench::BenchDisplay display;
    kinvo::pulse::testing::SoundServer sound;
    std::string registry;

    Surroundings() {
        char pattern[] = "/tmp/bench_mova_reg_XXXXXX";
        registry = mkdtemp(pattern);
        setenv("SONARI_REGISTRY_DIR", registry.c_str(), 1);
        win::Registry hives(win::RegistryPaths::fromEnvironment());
        kinvo::qtml::registerRuntime(hives, QTML_VERSION,
                                     std::filesystem::path(VEXAHOST_PATH).parent_path().string());
    }
};

bool ready(benchmark::State& state) {
    static Surroundings around;
    if (!around.display.ok()) {
        state.SkipWithError("no X display and no Xvfb");
        return false;
    }
    if (!around.sound.started()) {
        state.SkipWithError(("no sound server: " + around.sound.failure()).c_str());
        return false;
    }
    if (access(media().minuteMov.c_str(), R_OK) != 0 ||
        access(media().shortMov.c_str(), R_OK) != 0) {
        state.SkipWithError("the ffmpeg tool could not make the movies");
        return false;
    }
    return true;
}

// A vexahost of its own whose video window is a child of `parent` (0: a top-level one).
struct Server {
    vexa::VexaClient client;
    std::vector<int32_t> events;

    bool start(unsigned long parent) {
        client.setEventHandler([this](const vexa::ClientEvent& e) {
            if (e.kind == vexa::ClientEvent::Kind::kEvent) {
                events.push_back(e.code);
            }
        });
        if (!client.start(VEXAHOST_PATH, 20s)) {
            return false;
        }
        client.call(vexa::CMD_SET_VIDEO_PARENT, {vexa::Value::l(static_cast<int32_t>(parent))});
        return true;
    }
    bool ended() const {
        return std::find(events.begin(), events.end(), vexa::kEventTrackEndHandled) != events.end();
    }
    ~Server() {
        client.closeWindow();
        client.waitFor([&] { return !client.serverRunning(); }, 20s);
    }
};

void playMinute(benchmark::State& state, const std::string& file) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        Server server;
        if (!server.start(0)) {
            state.SkipWithError("vexahost did not start");
            return;
        }
        server.client.call(vexa::CMD_APPEND, {vexa::Value::s(file)});
        const pid_t pid = server.client.serverProcess()->pid();
        const double before = cpuSeconds(pid);
        const auto began = Clock::now();
        server.client.call(vexa::CMD_PLAY);
        const bool ended = server.client.waitFor([&] { return server.ended(); }, 120s);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        state.counters["cpu_s"] = cpuSeconds(pid) - before;
        if (!ended) {
            state.SkipWithError("the movie did not end");
            return;
        }
    }
}

void BM_MovMinuteInMova(benchmark::State& state) {
    playMinute(state, media().minuteMov);
}
BENCHMARK(BM_MovMinuteInMova)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_MovMinuteInAv(benchmark::State& state) {
    playMinute(state, media().minuteMp4);
}
BENCHMARK(BM_MovMinuteInAv)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_MovMinuteFfplay(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        const auto began = Clock::now();
        setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
        const pid_t pid = kinvo::bench::spawnQuietly(
            {"ffplay", "-autoexit", "-loglevel", "quiet", media().minuteMov});
        if (pid < 0) {
            state.SkipWithError("ffplay did not start");
            return;
        }
        const double cpu = kinvo::bench::waitForCpuSeconds(pid);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        state.counters["cpu_s"] = cpu;
    }
}
BENCHMARK(BM_MovMinuteFfplay)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// A window of our own that the video window fills, read back at its centre.
class Canvas {
  public:
    Canvas() : dpy_(XOpenDisplay(nullptr)) {
        if (dpy_ == nullptr) {
            return;
        }
        window_ =
            XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, kWidth, kHeight, 0, 0, 0);
        XMapWindow(dpy_, window_);
        XSync(dpy_, False);
    }
    ~Canvas() {
        if (dpy_ != nullptr) {
            XDestroyWindow(dpy_, window_);
            XCloseDisplay(dpy_);
        }
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    unsigned long window() const { return window_; }
    // True when the centre shows the movie's colour (0x3080E0, give or take its coding).
    bool showsMovie() {
        XImage* image = XGetImage(dpy_, window_, kWidth / 2, kHeight / 2, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return false;
        }
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        const auto near = [](unsigned long value, int want) {
            return std::abs(static_cast<int>(value & 0xFF) - want) < 16;
        };
        return near(pixel >> 16, 0x30) && near(pixel >> 8, 0x80) && near(pixel, 0xE0);
    }

    static constexpr int kWidth = 640;
    static constexpr int kHeight = 360;

  private:
    ::Display* dpy_;
    ::Window window_ = 0;
};

void firstPicture(benchmark::State& state, const std::string& address) {
    for (auto _ : state) {
        Canvas canvas;
        Server server;
        if (!server.start(canvas.window())) {
            state.SkipWithError("vexahost did not start");
            return;
        }
        server.client.call(vexa::CMD_APPEND, {vexa::Value::s(address)});
        const auto began = Clock::now();
        server.client.call(vexa::CMD_PLAY);
        bool shown = false;
        while (!shown && Clock::now() - began < 15s) {
            server.client.pump(0ms);
            shown = canvas.showsMovie();
            if (!shown) {
                usleep(2000);
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        server.client.call(vexa::CMD_STOP);
        if (!shown) {
            state.SkipWithError("no picture within 15 s");
            return;
        }
    }
}

void BM_FirstPictureLocal(benchmark::State& state) {
    if (ready(state)) {
        firstPicture(state, media().shortMov);
    }
}
BENCHMARK(BM_FirstPictureLocal)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FirstPictureLoopbackHttp(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    vexa::testing::LoopbackServer http(
        [](httplib::Server& server) { server.set_mount_point("/", media().folder); });
    firstPicture(state, http.url("/colour.mov"));
}
BENCHMARK(BM_FirstPictureLoopbackHttp)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
