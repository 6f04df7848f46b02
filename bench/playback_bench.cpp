// Real playback to a private sound server (pulseaudio with a null sink, started here):
//  - the CPU time vexahost spends playing a 60-second MP3 through in_av and out_qsnd, beside
//    ffplay -nodisp -autoexit playing the same file to the same sink;
//  - the time from command 701 to the first sample heard at the sink, and from a seek
//    (command 706) to the first sample of the new position.
// The sink's monitor is read in 5 ms fragments, each stamped when it arrives; a sample's time is
// its fragment's stamp less the frames after it, so the figures include up to one fragment of
// the recording's own delay.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pulse/simple.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/monitor_tap.h"
#include "bench/process_cpu.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "lib/pulse/tests/fixture/sound_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using kinvo::pulse::testing::SoundServer;

extern "C" char** environ;

int run(const std::string& command) {
    return std::system(command.c_str());
}

// The media of this run, made once with the ffmpeg tool.
struct Media {
    std::string folder;
    std::string minute;     // 60 s of a 440 Hz tone, MP3
    std::string marked;     // MP3: 1 s tone, silence until 10 s, then tone until 20 s
    std::string markedWav;  // the same as WAV, for pacat
};

// The one private sound server of the run, and the media in its folder.
SoundServer& soundServer() {
    static SoundServer server;
    return server;
}

const Media& makeMedia(const SoundServer& server) {
    static Media made = [&] {
        Media m;
        m.folder = server.folder();
        m.minute = m.folder + "/minute.mp3";
        m.marked = m.folder + "/marked.mp3";
        run("ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "
            "sine=frequency=440:duration=60"
            " -ac 2 -ar 44100 -c:a libmp3lame -b:a 128k '" +
            m.minute + "'");
        run("ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "
            "\"aevalsrc='if(lt(t,1)+gte(t,10),0.5*sin(2*PI*440*t),0)':s=44100:d=20\""
            " -ac 2 -c:a libmp3lame -b:a 128k '" +
            m.marked + "'");
        m.markedWav = m.folder + "/marked.wav";
        run("ffmpeg -hide_banner -loglevel error -nostdin -y -i '" + m.marked + "' '" +
            m.markedWav + "'");
        return m;
    }();
    return made;
}

// The media on the run's sound server; null, with the benchmark skipped, without a server.
const Media* mediaOrSkip(benchmark::State& state) {
    SoundServer& server = soundServer();
    if (!server.started()) {
        state.SkipWithError(server.failure().c_str());
        return nullptr;
    }
    return &makeMedia(server);
}

using kinvo::bench::MonitorTap;

using kinvo::bench::cpuSeconds;

// A vexahost with the real plug-ins beside it, playing one file.
struct Player {
    vexa::VexaClient client;
    std::vector<int32_t> events;

    bool start(const std::string& file) {
        client.setEventHandler([this](const vexa::ClientEvent& e) {
            if (e.kind == vexa::ClientEvent::Kind::kEvent) {
                events.push_back(e.code);
            }
        });
        return client.start(VEXAHOST_PATH, 20s) &&
               client.call(vexa::CMD_APPEND, {vexa::Value::s(file)}).status == 0;
    }
    bool waitFor(int32_t code, std::chrono::milliseconds timeout) {
        return client.waitFor(
            [&] { return std::find(events.begin(), events.end(), code) != events.end(); }, timeout);
    }
    ~Player() {
        if (client.serverProcess() != nullptr) {
            client.closeWindow();
            client.waitFor([this] { return !client.serverRunning(); }, 20s);
        }
    }
};

void BM_PlayMinuteVexahost(benchmark::State& state) {
    const Media* media = mediaOrSkip(state);
    if (media == nullptr) {
        return;
    }
    const Media& m = *media;
    for (auto _ : state) {
        Player player;
        if (!player.start(m.minute)) {
            state.SkipWithError("vexahost did not start");
            return;
        }
        const double before = cpuSeconds(player.client.serverProcess()->pid());
        const auto began = Clock::now();
        player.client.call(vexa::CMD_PLAY);
        if (!player.waitFor(vexa::kEventTrackEndHandled, 90s)) {
            state.SkipWithError("the track did not end");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        state.counters["cpu_s"] = cpuSeconds(player.client.serverProcess()->pid()) - before;
    }
}
BENCHMARK(BM_PlayMinuteVexahost)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_PlayMinuteFfplay(benchmark::State& state) {
    const Media* media = mediaOrSkip(state);
    if (media == nullptr) {
        return;
    }
    const Media& m = *media;
    for (auto _ : state) {
        setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
        const char* argv[] = {"ffplay", "-nodisp",        "-autoexit", "-loglevel",
                              "quiet",  m.minute.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        pid_t pid = -1;
        const auto began = Clock::now();
        const int spawned = posix_spawnp(&pid, "ffplay", &actions, nullptr,
                                         const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            state.SkipWithError("ffplay did not start");
            return;
        }
        const double cpu = kinvo::bench::waitForCpuSeconds(pid);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        state.counters["cpu_s"] = cpu;
    }
}
BENCHMARK(BM_PlayMinuteFfplay)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Starts pacat (the sound server's own player, asking for the latency out_qsnd asks for) on a
// file; answers its process id.
pid_t startPacat(const std::string& file) {
    const std::string latency = "--latency-msec=300";
    const char* argv[] = {"pacat", latency.c_str(), file.c_str(), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, "pacat", nullptr, nullptr, const_cast<char* const*>(argv), environ) !=
        0) {
        return -1;
    }
    return pid;
}

// Command 701 to the first sample heard, then a seek from the silence into the tone at 10 s to
// its first sample; beside them pacat's start on the same sink (the null sink's own timing
// varies with its history, so the peer is measured in every iteration). The argument is the
// time between vexahost's start-up (whose trial open of the output made and closed a stream)
// and the play command.
void BM_StartAndSeekLatency(benchmark::State& state) {
    const Media* media = mediaOrSkip(state);
    if (media == nullptr) {
        return;
    }
    const Media& m = *media;
    MonitorTap tap;
    if (!tap.ok()) {
        state.SkipWithError("the monitor cannot be recorded");
        return;
    }
    double startMs = 0;
    double callMs = 0;  // the answer to 701: the plug-in's play returned
    double seekMs = 0;
    double pacatMs = 0;  // pacat's start, process start included
    for (auto _ : state) {
        Player player;
        if (!player.start(m.marked)) {
            state.SkipWithError("vexahost did not start");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        tap.mark();
        const auto played = Clock::now();
        player.client.call(vexa::CMD_PLAY);
        callMs += std::chrono::duration<double, std::milli>(Clock::now() - played).count();
        auto heard = tap.heard(5s);
        if (!heard) {
            state.SkipWithError("nothing was heard after play");
            return;
        }
        startMs += std::chrono::duration<double, std::milli>(*heard - played).count();
        std::this_thread::sleep_for(2500ms);  // into the silence
        tap.mark();
        const auto sought = Clock::now();
        player.client.call(vexa::CMD_SEEK, {vexa::Value::l(10)});
        heard = tap.heard(5s);
        if (!heard) {
            state.SkipWithError("nothing was heard after the seek");
            return;
        }
        seekMs += std::chrono::duration<double, std::milli>(*heard - sought).count();
        player.client.call(vexa::CMD_STOP);

        std::this_thread::sleep_for(500ms);
        tap.mark();
        const auto spawned = Clock::now();
        const pid_t pacat = startPacat(m.markedWav);
        heard = tap.heard(5s);
        if (pacat > 0) {
            kill(pacat, SIGTERM);
            waitpid(pacat, nullptr, 0);
        }
        if (!heard) {
            state.SkipWithError("nothing was heard from pacat");
            return;
        }
        pacatMs += std::chrono::duration<double, std::milli>(*heard - spawned).count();
        std::this_thread::sleep_for(500ms);
    }
    state.counters["start_ms"] = benchmark::Counter(startMs, benchmark::Counter::kAvgIterations);
    state.counters["play_answer_ms"] =
        benchmark::Counter(callMs, benchmark::Counter::kAvgIterations);
    state.counters["pacat_start_ms"] =
        benchmark::Counter(pacatMs, benchmark::Counter::kAvgIterations);
    state.counters["seek_ms"] = benchmark::Counter(seekMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartAndSeekLatency)->Arg(0)->Arg(3000)->Iterations(5)->Unit(benchmark::kSecond);

}  // namespace
