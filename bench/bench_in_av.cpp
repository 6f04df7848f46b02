// Decoding speed of the FFmpeg input plug-in: a ten-minute MP3 and a ten-minute FLAC played
// through in_av.so into the disk writer out_qpcm.so, beside the ffmpeg tool decoding the same
// file to a WAV file in the same run. The counter "x_realtime" is the length of the sound over
// the wall time of one decoding.
//
// And a minute of 1280 x 720 H.264 with AAC sound: in_av.so into the disk writer with the test
// host's video output, which draws nothing and counts the pictures it is handed ("drawn"; the
// disk writer's clock runs ahead of the pictures, so most are dropped as late, as on a machine
// too slow to show them, but every one is decoded), beside "ffmpeg -i FILE -f null -". The
// counter "cpu_s" is the CPU time of one decoding, every thread counted (the plug-in's in this
// process, the tool's as a child). Its "real time" case plays the same minute as it would be
// heard, behind the test host's pacer (a sound card's clock): every picture drawn on time, and
// the CPU time that playing costs.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "plugins/in_av/tests/media.h"
#include "plugins/in_av/tests/plugin_pair.h"

namespace {

using kinvo::in_av::testing::MediaFolder;
using kinvo::in_av::testing::PluginPair;

constexpr double kSeconds = 600;

const char* const kRecipes[] = {
    "-f lavfi -i sine=frequency=440:duration=600 -ac 2 -c:a libmp3lame -b:a 192k",
    "-f lavfi -i sine=frequency=440:duration=600 -ac 2 -c:a flac",
};
const char* const kNames[] = {"long.mp3", "long.flac"};
constexpr double kVideoSeconds = 60;
const char* const kVideoRecipe =
    "-f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 -f lavfi -i "
    "sine=frequency=440:duration=60 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "
    "-ac 2";

// The media of the whole run, made once.
struct Media {
    MediaFolder folder;
    std::string files[2];
    Media() {
        for (int i = 0; i < 2; ++i) {
            files[i] = folder.make(kNames[i], kRecipes[i]);
        }
    }
};

Media& media() {
    static Media made;
    return made;
}

// The video of the run, made once.
struct VideoMedia {
    MediaFolder folder;
    std::string file = folder.make("clip720.mp4", kVideoRecipe);
};

const std::string& video() {
    static VideoMedia made;
    return made.file;
}

void BM_InAvToDiskWriter(benchmark::State& state) {
    const std::string& file = media().files[state.range(0)];
    MediaFolder output;
    PluginPair pair(output.path());
    int ends = 0;
    for (auto _ : state) {
        if (pair.in().play(file.c_str()) != 0 ||
            !pair.waitForTrackEnds(++ends, std::chrono::minutes(5))) {
            state.SkipWithError("playing failed");
            break;
        }
        state.PauseTiming();
        pair.in().stop();
        for (const auto& written : std::filesystem::directory_iterator(output.path())) {
            std::filesystem::remove(written.path());
        }
        state.ResumeTiming();
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(kNames[state.range(0)]);
}

void BM_FfmpegToolToWav(benchmark::State& state) {
    const std::string& file = media().files[state.range(0)];
    MediaFolder output;
    const std::string command =
        "ffmpeg -nostdin -y -v error -i '" + file + "' '" + output.path() + "/out.wav'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(kNames[state.range(0)]);
}

// CPU seconds used so far by this process's threads, or by its waited-for children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_InAvVideoToNullOutput(benchmark::State& state) {
    const std::string& file = video();
    MediaFolder output;
    PluginPair pair(output.path(), state.range(0) != 0 ? kinvo::in_av::testing::Pace::RealTime
                                                       : kinvo::in_av::testing::Pace::Free);
    int ends = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = cpuSeconds(RUSAGE_SELF);
        if (pair.in().play(file.c_str()) != 0 ||
            !pair.waitForTrackEnds(++ends, std::chrono::minutes(5))) {
            state.SkipWithError("playing failed");
            break;
        }
        cpu += cpuSeconds(RUSAGE_SELF) - before;
        state.PauseTiming();
        pair.in().stop();
        for (const auto& written : std::filesystem::directory_iterator(output.path())) {
            std::filesystem::remove(written.path());
        }
        state.ResumeTiming();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["cpu_s"] = cpu / iterations;
    state.counters["drawn"] = static_cast<double>(pair.videoDraws().size()) / iterations;
    state.counters["x_realtime"] =
        benchmark::Counter(kVideoSeconds * iterations, benchmark::Counter::kIsRate);
    state.SetLabel(state.range(0) != 0 ? "real time" : "as fast as it decodes");
}

void BM_FfmpegToolToNull(benchmark::State& state) {
    const std::string command = "ffmpeg -nostdin -v error -i '" + video() + "' -f null -";
    double cpu = 0;
    for (auto _ : state) {
        const double before = cpuSeconds(RUSAGE_CHILDREN);
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
        cpu += cpuSeconds(RUSAGE_CHILDREN) - before;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["cpu_s"] = cpu / iterations;
    state.counters["x_realtime"] =
        benchmark::Counter(kVideoSeconds * iterations, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_InAvToDiskWriter)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_FfmpegToolToWav)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

BENCHMARK(BM_InAvVideoToNullOutput)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_InAvVideoToNullOutput)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_FfmpegToolToNull)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
