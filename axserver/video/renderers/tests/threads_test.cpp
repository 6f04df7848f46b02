// The blit renderer used as the video output uses it: frames drawn on a decoding thread while
// the window thread paints, every call under one lock, on one connection.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "axserver/video/pixels/fourcc.h"
#include "axserver/video/renderers/blit_renderer.h"
#include "axserver/video/renderers/tests/frames.h"
#include "axserver/video/renderers/tests/test_host.h"

namespace vexa::video {
namespace {

using vexa::pixels::fourcc;

TEST(BlitThreadsTest, DrawAndPaintFromTwoThreads) {
    test::TestDisplay display(0);
    if (display.get() == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    constexpr int kWidth = 96, kHeight = 64;
    test::TestHost host(display.get(), kWidth, kHeight, kWidth, kHeight);
    BlitRenderer renderer;
    std::mutex lock;  // the video output's
    ASSERT_TRUE(renderer.open(host, kWidth, kHeight, fourcc("YV12"), 0, 1.0));
    const test::TestFrame frame = test::makeFrame(fourcc("YV12"), kWidth, kHeight);

    std::atomic<bool> done{false};
    std::thread decoder([&] {
        for (int i = 0; i < 50; ++i) {
            std::lock_guard guard(lock);
            renderer.draw(frame.data());
        }
        done = true;
    });
    int paints = 0;
    while (!done || paints == 0) {
        std::lock_guard guard(lock);
        EXPECT_TRUE(renderer.onPaint());
        ++paints;
    }
    decoder.join();

    std::lock_guard guard(lock);
    EXPECT_FALSE(renderer.needsReopen());
    const auto expected = test::converted(frame, renderer.pixelDepth());
    const auto shown = host.pixels();
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        ASSERT_EQ(shown[i] & 0xFFFFFF, expected[i] & 0xFFFFFF) << i;
    }
}

}  // namespace
}  // namespace vexa::video
