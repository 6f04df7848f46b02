// The renderers' cost per frame: the blit renderer drawing a 1280 x 720 "YV12" frame into a
// window (converted, put through shared memory, presented with XRender, synced), unscaled, scaled
// up from 640 x 360, and with a subtitle; and the overlay's byte moving of the same frame into
// packed YUV. Needs an X display (DISPLAY; ./test.sh's Xvfb or a real one).
// Run build/bench/bench_video_renderers.

#include <benchmark/benchmark.h>

#include <sonari/video_output.h>

#include <cstdint>
#include <random>
#include <vector>

#include "axserver/video/pixels/fourcc.h"
#include "axserver/video/renderers/blit_renderer.h"
#include "axserver/video/renderers/overlay_pack.h"
#include "axserver/video/renderers/tests/frames.h"
#include "axserver/video/renderers/tests/test_host.h"

namespace {

using vexa::pixels::fourcc;

// args: stream width, stream height, window width, window height, with a subtitle (0/1).
void BM_BlitDraw(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    vexa::video::test::TestDisplay display(0);
    if (display.get() == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    vexa::video::test::TestHost host(display.get(), static_cast<int>(state.range(2)),
                                     static_cast<int>(state.range(3)), width, height);
    vexa::video::BlitRenderer renderer;
    if (!renderer.open(host, width, height, fourcc("YV12"), 0, 1.0)) {
        state.SkipWithError("blit renderer does not open");
        return;
    }
    SonariSubtitle subtitle{};
    subtitle.text = "A subtitle of two lines\nat the bottom of the picture";
    subtitle.x = 127;
    subtitle.y = 255;
    subtitle.red = subtitle.green = subtitle.blue = 255;
    if (state.range(4) != 0) {
        renderer.setSubtitle(&subtitle);
    }
    const auto frame = vexa::video::test::makeFrame(fourcc("YV12"), width, height);
    for (auto _ : state) {
        renderer.draw(frame.data());
    }
    state.SetItemsProcessed(state.iterations());  // frames
}
BENCHMARK(BM_BlitDraw)
    ->ArgNames({"w", "h", "winw", "winh", "sub"})
    ->Args({1280, 720, 1280, 720, 0})
    ->Args({640, 360, 1280, 720, 0})
    ->Args({1280, 720, 1280, 720, 1})
    ->UseRealTime()  // the server's share of the work is in the wall time only
    ->Unit(benchmark::kMillisecond);

void BM_OverlayPackYv12(benchmark::State& state) {
    constexpr int kWidth = 1280, kHeight = 720;
    const auto frame = vexa::video::test::makeFrame(fourcc("YV12"), kWidth, kHeight);
    const SonariPlaneTable& p = frame.planes;
    const vexa::pixels::PlaneTable planes{p.y, p.yPitch, p.u, p.uPitch, p.v, p.vPitch};
    std::vector<std::uint8_t> image(kWidth * 2 * kHeight);
    const vexa::video::PackedImage to{image.data(), kWidth * 2, kWidth, kHeight, kHeight, false};
    for (auto _ : state) {
        vexa::video::packYv12(planes, false, to);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OverlayPackYv12)->Unit(benchmark::kMillisecond);

}  // namespace
