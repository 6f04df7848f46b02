// Decoding speed of the FFmpeg input plug-in: a ten-minute MP3 and a ten-minute FLAC played
// through in_av.so into the disk writer out_qpcm.so, beside the ffmpeg tool decoding the same
// file to a WAV file in the same run. The counter "x_realtime" is the length of the sound over
// the wall time of one decoding.
#include <benchmark/benchmark.h>

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

}  // namespace
