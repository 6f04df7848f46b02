// The movie runtime's drawing of one 640 x 480 BGRA picture: into an off-screen buffer, and into
// an X11 window of the display DISPLAY names (MIT-SHM when the server takes it, else image
// strips); and the dispatcher's cost for one cheap selector.

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "runtimes/qtml/dispatch/dispatcher.h"
#include "runtimes/qtml/port/offscreen_buffer.h"
#include "runtimes/qtml/port/window_port.h"
#include "runtimes/qtml/port/xcb_connection.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::vector<uint8_t> picture() {
    std::vector<uint8_t> bgra(kWidth * kHeight * 4);
    for (size_t i = 0; i < bgra.size(); ++i) {
        bgra[i] = static_cast<uint8_t>(i * 7);
    }
    return bgra;
}

void BM_OffscreenDraw(benchmark::State& state) {
    const std::vector<uint8_t> bgra = picture();
    auto buffer = kinvo::qtml::OffscreenBuffer::make(kWidth, kHeight);
    for (auto _ : state) {
        buffer->draw(bgra.data(), kWidth, kHeight, kWidth * 4, 0, 0);
        benchmark::DoNotOptimize(buffer->view()->pixels[0]);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bgra.size()));
}
BENCHMARK(BM_OffscreenDraw);

void BM_WindowDraw(benchmark::State& state) {
    auto connection = kinvo::qtml::XcbConnection::open(nullptr);
    if (!connection) {
        state.SkipWithError("no X display");
        return;
    }
    xcb_connection_t* c = connection->get();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, kWidth, kHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(c, window);
    auto port = kinvo::qtml::WindowPort::open(*connection, window);
    if (!port) {
        state.SkipWithError("window not drawable");
        return;
    }
    const std::vector<uint8_t> bgra = picture();
    for (auto _ : state) {
        port->draw(bgra.data(), kWidth, kHeight, kWidth * 4, 0, 0);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bgra.size()));
    state.SetLabel(connection->hasShm() ? "MIT-SHM" : "strips");
    port.reset();
    xcb_destroy_window(c, window);
}
BENCHMARK(BM_WindowDraw)->Unit(benchmark::kMicrosecond);

void BM_DispatchHandleSize(benchmark::State& state) {
    kinvo::qtml::Runtime runtime;
    const kinvo::qtml::SelectorEntry* make = kinvo::qtml::findSelector(QTML_NEW_HANDLE);
    const intptr_t size = 16;
    const intptr_t handle = kinvo::qtml::dispatch(runtime, *make, &size);
    const kinvo::qtml::SelectorEntry* query = kinvo::qtml::findSelector(QTML_HANDLE_SIZE);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::qtml::dispatch(runtime, *query, &handle));
    }
}
BENCHMARK(BM_DispatchHandleSize);

}  // namespace
