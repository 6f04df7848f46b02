// The blit renderer on Xvfb: frames read back from the window exactly as the conversions make
// them at 24 (the test display), 16 and 15 bits; the letterbox bars; the monitor check.
#include <gtest/gtest.h>

#include "axserver/video/pixels/fourcc.h"
#include "axserver/video/renderers/blit_renderer.h"
#include "axserver/video/renderers/tests/frames.h"
#include "axserver/video/renderers/tests/test_host.h"

namespace vexa::video {
namespace {

using vexa::pixels::fourcc;

struct DepthCase {
    int serverDepth;  // 0: the test display (24 bits in 32-bit pixels)
    int pixelDepth;
    unsigned long mask;  // the bits of a pixel the window holds
};

class BlitDepthTest : public testing::TestWithParam<DepthCase> {};

TEST_P(BlitDepthTest, FramesReadBackAsConverted) {
    const DepthCase& c = GetParam();
    test::TestDisplay display(c.serverDepth);
    if (display.get() == nullptr) {
        GTEST_SKIP() << "no X display (or no Xvfb for depth " << c.serverDepth << ")";
    }
    constexpr int kWidth = 64, kHeight = 48;
    for (const std::uint32_t type :
         {fourcc("YV12"), fourcc("YUY2"), fourcc("UYVY"), fourcc("RG32")}) {
        test::TestHost host(display.get(), kWidth, kHeight, kWidth, kHeight);
        BlitRenderer renderer;
        ASSERT_TRUE(renderer.open(host, kWidth, kHeight, type, 0, 1.0))
            << std::string(reinterpret_cast<const char*>(&type), 4);
        ASSERT_EQ(renderer.pixelDepth(), c.pixelDepth);
        const test::TestFrame frame = test::makeFrame(type, kWidth, kHeight);
        renderer.draw(frame.data());
        EXPECT_FALSE(renderer.needsReopen());
        const auto expected = test::converted(frame, c.pixelDepth);
        const auto shown = host.pixels();
        ASSERT_EQ(shown.size(), expected.size());
        int wrong = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            wrong += (shown[i] & c.mask) != (expected[i] & c.mask);
        }
        EXPECT_EQ(wrong, 0) << "type " << std::string(reinterpret_cast<const char*>(&type), 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, BlitDepthTest,
                         testing::Values(DepthCase{0, 32, 0xFFFFFF}, DepthCase{16, 16, 0xFFFF},
                                         DepthCase{15, 15, 0x7FFF}),
                         [](const auto& info) {
                             return "depth" + std::to_string(info.param.pixelDepth);
                         });

TEST(BlitRendererTest, LetterboxBarsShowTheBackground) {
    test::TestDisplay display(0);
    if (display.get() == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    // 160 x 60 shows a 64 x 48 stream at (40, 0, 120, 60), scaled.
    test::TestHost host(display.get(), 160, 60, 64, 48);
    ::GC gc = XCreateGC(display.get(), host.xwindow(), 0, nullptr);
    XSetForeground(display.get(), gc, host.pixelOf(255, 255, 255));
    XFillRectangle(display.get(), host.xwindow(), gc, 0, 0, 160, 60);
    XFreeGC(display.get(), gc);

    BlitRenderer renderer;
    ASSERT_TRUE(renderer.open(host, 64, 48, fourcc("RG32"), 0, 1.0));
    const test::TestFrame frame = test::makeFrame(fourcc("RG32"), 64, 48, 0x60);
    renderer.draw(frame.data());
    const auto shown = host.pixels();
    const unsigned long picture = host.pixelOf(0x60, 0x60, 0x60);
    for (const int x : {0, 39, 120, 159}) {
        EXPECT_EQ(shown[30 * 160 + x], host.backgroundPixel()) << x;
    }
    for (const int x : {40, 80, 119}) {
        for (const int y : {0, 30, 59}) {
            EXPECT_EQ(shown[y * 160 + x], picture) << x << "," << y;
        }
    }
    // The bars are asked for once, not at every frame.
    const std::size_t asked = host.invalidated.size();
    EXPECT_EQ(asked, 2u);
    renderer.draw(frame.data());
    EXPECT_EQ(host.invalidated.size(), asked);
}

TEST(BlitRendererTest, AnotherMonitorAsksForReopen) {
    test::TestDisplay display(0);
    if (display.get() == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    test::TestHost host(display.get(), 64, 48, 64, 48);
    BlitRenderer renderer;
    ASSERT_TRUE(renderer.open(host, 64, 48, fourcc("YV12"), 0, 1.0));
    renderer.updatePosition();
    EXPECT_FALSE(renderer.needsReopen());
    host.monitor = {1280, 0, 2560, 1024};
    renderer.updatePosition();
    EXPECT_TRUE(renderer.needsReopen());
}

}  // namespace
}  // namespace vexa::video
