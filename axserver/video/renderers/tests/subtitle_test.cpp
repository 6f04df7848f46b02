// A subtitle drawn by each real renderer: its colour inside the rectangle the layout gives, a
// black outline beside it, the picture everywhere else.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include "axserver/video/pixels/fourcc.h"
#include "axserver/video/renderers/blit_renderer.h"
#include "axserver/video/renderers/overlay_renderer.h"
#include "axserver/video/renderers/tests/frames.h"
#include "axserver/video/renderers/tests/test_host.h"
#include "lib/x11/xft.h"

namespace vexa::video {
namespace {

using vexa::pixels::fourcc;

struct FakePort final : XvPort {
    std::vector<std::uint8_t> memory;
    bool offers(std::uint32_t) const noexcept override { return true; }
    bool setColorKey(unsigned long) noexcept override { return true; }
    bool createImage(std::uint32_t, int width, int height, PackedImage& image) noexcept override {
        memory.assign(static_cast<std::size_t>(width) * 2 * height, 0);
        image.pixels = memory.data();
        image.pitch = width * 2;
        image.rows = height;
        return true;
    }
    bool putImage(const win::RECT&, const win::RECT&) noexcept override { return true; }
};

TEST(SubtitleTest, DrawnInItsRectangleWithAnOutline) {
    test::TestDisplay display(0);
    if (display.get() == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    constexpr int kWidth = 320, kHeight = 240;
    SonariSubtitle subtitle{};
    subtitle.text = "Subtitle\nsecond line";
    subtitle.x = 127;
    subtitle.y = 255;
    subtitle.green = 255;
    subtitle.fontSizeAdjust = 4;

    // Where the text must be: two lines of the font at the bottom.
    const int fontHeight = subtitleFontHeight(kHeight, subtitle.fontSizeAdjust);
    auto font = kinvo::x11::XftFont::open(display.get(), DefaultScreen(display.get()), "Arial",
                                          fontHeight, FC_WEIGHT_DEMIBOLD);
    ASSERT_TRUE(font);
    const int line = font.get()->ascent + font.get()->descent;
    const win::RECT rect =
        placeSubtitle({0, 0, kWidth, kHeight}, subtitle.x, subtitle.y, 2 * line).rect;
    ASSERT_EQ(rect.top, kHeight - 2 * line);

    for (const bool overlay : {false, true}) {
        SCOPED_TRACE(overlay ? "overlay" : "blit");
        test::TestHost host(display.get(), kWidth, kHeight, kWidth, kHeight);
        std::unique_ptr<VideoRenderer> renderer;
        if (overlay) {
            renderer = std::make_unique<OverlayRenderer>(
                [](::Display*, ::Window) { return std::make_unique<FakePort>(); });
        } else {
            renderer = std::make_unique<BlitRenderer>();
        }
        const std::uint32_t type = overlay ? fourcc("YUY2") : fourcc("RG32");
        ASSERT_TRUE(renderer->open(host, kWidth, kHeight, type, 0, 1.0));
        renderer->setSubtitle(&subtitle);
        const test::TestFrame frame = test::makeFrame(fourcc("RG32"), kWidth, kHeight, 0x80);
        if (overlay) {
            renderer->onPaint();
        } else {
            renderer->draw(frame.data());
        }
        const auto shown = host.pixels();
        const unsigned long colour = host.pixelOf(0, 255, 0);
        const unsigned long black = host.pixelOf(0, 0, 0);
        const unsigned long picture =
            overlay ? host.pixelOf(16, 0, 16) : host.pixelOf(0x80, 0x80, 0x80);
        int coloured = 0, outlined = 0, stray = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const unsigned long p = shown[y * kWidth + x];
                const bool inside =
                    y >= rect.top - 1 && y <= rect.bottom && x > 0 && x < kWidth - 1;
                coloured += p == colour && inside;
                outlined += p == black && inside;
                stray += p != picture && !inside;
            }
        }
        EXPECT_GT(coloured, 50);
        EXPECT_GT(outlined, 20);
        EXPECT_EQ(stray, 0);
    }
}

}  // namespace
}  // namespace vexa::video
