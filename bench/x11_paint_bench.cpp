// Drawing into a visible window on $DISPLAY (start an Xvfb of the depth to measure): a 32-bit
// frame copied with copyImage, and an invalidation from another thread until its WM_PAINT.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "platform/messages.h"
#include "platform/x11/display.h"
#include "platform/x11/paint.h"
#include "platform/x11/windows.h"

namespace {

using namespace win;

int paints = 0;

LRESULT canvasProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ++paints;
    }
    return defWindowProc(hwnd, message, wParam, lParam);
}

HWND canvas(int width, int height) {
    static bool registered = [] {
        WindowClass cls;
        cls.name = "BenchCanvas";
        cls.proc = canvasProc;
        cls.background = rgb(0, 0, 0);
        return registerClass(cls);
    }();
    (void)registered;
    CreateParams params;
    params.className = "BenchCanvas";
    params.style = WS_POPUP | WS_VISIBLE;
    params.width = width;
    params.height = height;
    return createWindow(params);
}

void BM_CopyImage(benchmark::State& state) {
    if (!x11::installDisplay()) {
        state.SkipWithError("no X display");
        return;
    }
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const HWND hwnd = canvas(width, height);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint8_t>(i * 7);
    }
    HDC dc = getDC(hwnd);
    x11::Drawable drawable;
    x11::drawableOf(hwnd, drawable);
    for (auto _ : state) {
        copyImage(dc, 0, 0, width, height, frame.data(), width * 4);
        XSync(x11::display(), False);  // until the server has the frame
    }
    releaseDC(hwnd, dc);
    destroyWindow(hwnd);
    state.SetItemsProcessed(state.iterations());
    state.counters["depth"] = drawable.depth;
}
BENCHMARK(BM_CopyImage)->Args({1280, 720})->Args({640, 360})->Unit(benchmark::kMillisecond);

void BM_InvalidateToPaint(benchmark::State& state) {
    if (!x11::installDisplay()) {
        state.SkipWithError("no X display");
        return;
    }
    const HWND hwnd = canvas(320, 240);
    MSG msg;
    for (auto _ : state) {
        const int before = paints;
        std::thread([hwnd] { invalidateRect(hwnd, nullptr, false); }).join();
        while (paints == before && getMessage(msg, 0, 0, 0) > 0) {
            dispatchMessage(msg);
        }
    }
    destroyWindow(hwnd);
}
BENCHMARK(BM_InvalidateToPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
