// YV12 to 32-bit at 1280 x 720: our studio-range conversion beside libswscale turning the same
// frame into BGRA at the same size (nearest-neighbour, no scaling), in one run.
// Run build/bench/bench_video_pixels; the ratio benchmark times both on the same frames.
extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "axserver/video/pixels/convert.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// One frame of random planes and a 32-bit surface for it.
struct Yv12Frame {
    std::vector<std::uint8_t> y = noise(kWidth * kHeight), u = noise(kWidth * kHeight / 4),
                              v = noise(kWidth * kHeight / 4);
    std::vector<std::uint8_t> out = std::vector<std::uint8_t>(4 * kWidth * kHeight);
    vexa::pixels::PlaneTable planes{y.data(), kWidth, u.data(), kWidth / 2, v.data(), kWidth / 2};
    vexa::pixels::Surface surface{out.data(), kWidth, kHeight, 4 * kWidth, 32};

    static std::vector<std::uint8_t> noise(int size) {
        std::mt19937 random(7);
        std::vector<std::uint8_t> bytes(size);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        return bytes;
    }
};

struct SwsDeleter {
    void operator()(SwsContext* context) const noexcept { sws_freeContext(context); }
};
using SwsHandle = std::unique_ptr<SwsContext, SwsDeleter>;

// libswscale's YUV 4:2:0 to BGRA at the same size.
struct SwsConverter {
    SwsHandle context{sws_getContext(kWidth, kHeight, AV_PIX_FMT_YUV420P, kWidth, kHeight,
                                     AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr)};

    void run(Yv12Frame& frame) const {
        const std::uint8_t* const in[3] = {frame.y.data(), frame.u.data(), frame.v.data()};
        const int inPitch[3] = {kWidth, kWidth / 2, kWidth / 2};
        std::uint8_t* const out[1] = {frame.out.data()};
        const int outPitch[1] = {4 * kWidth};
        sws_scale(context.get(), in, inPitch, 0, kHeight, out, outPitch);
    }
};

void finish(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations());  // frames
    state.SetBytesProcessed(state.iterations() * std::int64_t{kWidth} * kHeight * 3 / 2);
}

void BM_Yv12To32_Ours(benchmark::State& state) {
    Yv12Frame frame;
    for (auto _ : state) {
        vexa::pixels::convertYv12(frame.planes, false, frame.surface);
        benchmark::DoNotOptimize(frame.out.data());
        benchmark::ClobberMemory();
    }
    finish(state);
}
BENCHMARK(BM_Yv12To32_Ours)->Unit(benchmark::kMicrosecond);

void BM_Yv12To32_Swscale(benchmark::State& state) {
    Yv12Frame frame;
    const SwsConverter sws;
    if (!sws.context) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    for (auto _ : state) {
        sws.run(frame);
        benchmark::DoNotOptimize(frame.out.data());
        benchmark::ClobberMemory();
    }
    finish(state);
}
BENCHMARK(BM_Yv12To32_Swscale)->Unit(benchmark::kMicrosecond);

// Both on the same frame, alternately, so the ratio (ours / libswscale, in frames per second;
// above 1 means ours is faster) comes from the same machine state.
void BM_Yv12To32_Ratio(benchmark::State& state) {
    Yv12Frame frame;
    const SwsConverter sws;
    if (!sws.context) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        vexa::pixels::convertYv12(frame.planes, false, frame.surface);
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        sws.run(frame);
        benchmark::ClobberMemory();
        ours += t1 - t0;
        theirs += Clock::now() - t1;
    }
    const double n = static_cast<double>(state.iterations());
    const double oursFps = n / std::chrono::duration<double>(ours).count();
    const double theirsFps = n / std::chrono::duration<double>(theirs).count();
    state.counters["ours_fps"] = oursFps;
    state.counters["swscale_fps"] = theirsFps;
    state.counters["ratio"] = oursFps / theirsFps;
}
BENCHMARK(BM_Yv12To32_Ratio)->Unit(benchmark::kMillisecond);

}  // namespace
