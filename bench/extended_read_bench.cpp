// Decoding speed of in_av.so's extended-read exports: a ten-minute MP3 (made at run time) read to
// its end in 32 KB blocks, as a conversion reads it, beside "ffmpeg -i in.mp3 -f s16le -y
// /dev/null" on the same file in the same run. Both report the same PCM bytes per second of wall
// time ("bytes_per_second", the decoded size over the time of one decoding) and "x_realtime".
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "plugins/in_av/tests/extended_exports.h"
#include "plugins/in_av/tests/media.h"

namespace {

using kinvo::in_av::testing::MediaFolder;
using Exports = kinvo::in_av::testing::ExtendedExports;

constexpr double kSeconds = 600;
constexpr int32_t kBlock = 32 * 1024;

// The run's MP3, made once.
struct Media {
    MediaFolder folder;
    std::string mp3 = folder.make(
        "long.mp3", "-f lavfi -i sine=frequency=440:duration=600 -ac 2 -c:a libmp3lame -b:a 192k");
};

Media& media() {
    static Media made;
    return made;
}

// Reads `file` through the exports to its end; the PCM's size, -1 on failure.
int64_t readThrough(const Exports& x, const std::string& file, std::vector<char>& block) {
    int32_t total = 0, bits = 0, channels = 0, rate = 0;
    const SonariReadHandle handle = x.open(file.c_str(), &total, &bits, &channels, &rate);
    if (handle == 0) {
        return -1;
    }
    const volatile int32_t stop = 0;
    int64_t bytes = 0;
    int32_t count = 0;
    while ((count = x.getData(handle, block.data(), kBlock, &stop)) > 0) {
        bytes += count;
    }
    x.close(handle);
    return count < 0 ? -1 : bytes;
}

int64_t pcmBytes = 0;  // of the MP3, as the exports read it (set by the first benchmark)

void BM_ExtendedReadMp3(benchmark::State& state) {
    static const Exports x;
    if (x.open == nullptr || x.getData == nullptr || x.close == nullptr) {
        state.SkipWithError("in_av.so has no extended read");
        return;
    }
    const std::string& file = media().mp3;
    std::vector<char> block(kBlock);
    for (auto _ : state) {
        pcmBytes = readThrough(x, file, block);
        if (pcmBytes < 0) {
            state.SkipWithError("reading failed");
            return;
        }
    }
    const auto iterations = static_cast<int64_t>(state.iterations());
    state.SetBytesProcessed(pcmBytes * iterations);
    state.counters["x_realtime"] =
        benchmark::Counter(kSeconds * static_cast<double>(iterations), benchmark::Counter::kIsRate);
}

void BM_FfmpegToolToS16le(benchmark::State& state) {
    const std::string command =
        "ffmpeg -nostdin -v error -i '" + media().mp3 + "' -f s16le -y /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    const auto iterations = static_cast<int64_t>(state.iterations());
    state.SetBytesProcessed(pcmBytes * iterations);
    state.counters["x_realtime"] =
        benchmark::Counter(kSeconds * static_cast<double>(iterations), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ExtendedReadMp3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FfmpegToolToS16le)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
