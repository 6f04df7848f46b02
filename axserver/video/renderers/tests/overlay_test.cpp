// The overlay renderer's arithmetic and byte moving, and the renderer itself against a fake
// XVideo port on the test display (Xvfb has no XVideo of its own).
#include <gtest/gtest.h>

#include <sonari/video_output.h>

#include <cstring>
#include <vector>

#include "axserver/video/pixels/fourcc.h"
#include "axserver/video/renderers/overlay_choices.h"
#include "axserver/video/renderers/overlay_pack.h"
#include "axserver/video/renderers/overlay_rects.h"
#include "axserver/video/renderers/overlay_renderer.h"
#include "axserver/video/renderers/tests/test_host.h"

namespace vexa::video {
namespace {

using vexa::pixels::kTypeRg32;
using vexa::pixels::kTypeUyvy;
using vexa::pixels::kTypeYuy2;
using vexa::pixels::kTypeYv12;

constexpr std::uint8_t kUntouched = 0xEE;

// Stands for an XVideo port: keeps the image in memory and records what was asked of it.
struct FakePort final : XvPort {
    bool yuy2 = true;
    bool uyvy = true;
    bool putWorks = true;
    unsigned long key = 0;
    std::uint32_t format = 0;
    std::vector<std::uint8_t> memory;
    int pitch = 0;
    std::vector<std::pair<win::RECT, win::RECT>> puts;

    bool offers(std::uint32_t f) const noexcept override {
        return (f == kTypeYuy2 && yuy2) || (f == kTypeUyvy && uyvy);
    }
    bool setColorKey(unsigned long value) noexcept override {
        key = value;
        return true;
    }
    bool createImage(std::uint32_t f, int width, int height, PackedImage& image) noexcept override {
        format = f;
        pitch = width * 2 + 8;  // padded rows, as ports do
        memory.assign(static_cast<std::size_t>(pitch) * height, kUntouched);
        image.pixels = memory.data();
        image.pitch = pitch;
        image.rows = height;
        return true;
    }
    bool putImage(const win::RECT& source, const win::RECT& destination) noexcept override {
        puts.emplace_back(source, destination);
        return putWorks;
    }
};

TEST(OverlayChoicesTest, KeyValuesPerDepth) {
    const PixelMasks rgb555{0x7C00, 0x3E0, 0x1F};
    const PixelMasks rgb565{0xF800, 0x7E0, 0x1F};
    const PixelMasks rgb888{0xFF0000, 0xFF00, 0xFF};
    const PixelMasks gbr888{0xFF00, 0xFF, 0xFF0000};
    struct Case {
        int depth;
        const PixelMasks* masks;
        win::COLORREF colour;
        unsigned long value;
    } cases[] = {
        {8, nullptr, win::rgb(255, 0, 255), 0xFD},    {15, nullptr, win::rgb(16, 0, 16), 0x802},
        {16, nullptr, win::rgb(16, 0, 16), 0x1002},   {24, nullptr, win::rgb(16, 0, 16), 0x100010},
        {32, nullptr, win::rgb(16, 0, 16), 0x100010}, {15, &rgb555, win::rgb(16, 0, 16), 0x802},
        {16, &rgb565, win::rgb(16, 0, 16), 0x1002},   {32, &rgb888, win::rgb(16, 0, 16), 0x100010},
        {24, &gbr888, win::rgb(16, 0, 16), 0x101000},
    };
    for (const Case& c : cases) {
        const OverlayKey key = overlayKey(c.depth, c.masks);
        EXPECT_EQ(key.colour, c.colour) << c.depth;
        EXPECT_EQ(key.value, c.value) << c.depth << (c.masks ? " measured" : " preset");
    }
}

TEST(OverlayRectsTest, FitClipAndAlign) {
    struct Case {
        win::RECT destination, monitor;
        int sourceAlign, destinationAlign;
        win::RECT source, clipped;
    } cases[] = {
        // Inside: nothing cut.
        {{100, 100, 420, 340}, {0, 0, 1280, 1024}, 0, 0, {0, 0, 320, 240}, {100, 100, 420, 340}},
        // On a second monitor, inside it.
        {{1300, 0, 1940, 480}, {1280, 0, 2560, 1024}, 0, 0, {0, 0, 320, 240}, {1300, 0, 1940, 480}},
        {{1000, 0, 1640, 480}, {0, 0, 1280, 1024}, 0, 0, {0, 0, 140, 240}, {1000, 0, 1280, 480}},
        {{-100, 0, 540, 480}, {0, 0, 1280, 1024}, 0, 0, {50, 0, 320, 240}, {0, 0, 540, 480}},
        // Both sides: the left cut is measured on the width left after the right cut.
        {{-100, 0, 1380, 480}, {0, 0, 1280, 1024}, 0, 0, {23, 0, 299, 240}, {0, 0, 1280, 480}},
        {{0, -50, 640, 1074}, {0, 0, 1280, 1024}, 0, 0, {0, 11, 320, 230}, {0, 0, 640, 1024}},
        // Alignment rounds left and right up.
        {{-101, 0, 539, 480}, {0, 0, 1280, 1024}, 4, 8, {52, 0, 320, 240}, {0, 0, 544, 480}},
        {{-101, 0, 539, 480}, {0, 0, 1280, 1024}, 0, 0, {50, 0, 320, 240}, {0, 0, 539, 480}},
    };
    for (const Case& c : cases) {
        const OverlayRects r =
            overlayRects(c.destination, c.monitor, 320, 240, c.sourceAlign, c.destinationAlign);
        SCOPED_TRACE(testing::PrintToString(c.destination));
        EXPECT_EQ(r.source, c.source);
        EXPECT_EQ(r.destination, c.clipped);
    }
}

// The byte of pixel (x, y) a packed image holds for Y (0), U (1) or V (2), by its order.
std::uint8_t component(const PackedImage& image, int x, int y, int which) {
    const std::uint8_t* pair = image.pixels + y * image.pitch + (x & ~1) * 2;
    static constexpr int kYuy2[2][3] = {{0, 1, 3}, {2, 1, 3}};
    static constexpr int kUyvy[2][3] = {{1, 0, 2}, {3, 0, 2}};
    return pair[(image.uyvy ? kUyvy : kYuy2)[x & 1][which]];
}

TEST(OverlayPackTest, Yv12IntoPackedWholeBlocksOnly) {
    constexpr int kSize = 5;  // the last row and column are not a whole block
    std::uint8_t y[kSize * kSize], u[3 * 3], v[3 * 3];
    for (int i = 0; i < kSize * kSize; ++i)
        y[i] = static_cast<std::uint8_t>(i + 1);
    for (int i = 0; i < 9; ++i) {
        u[i] = static_cast<std::uint8_t>(100 + i);
        v[i] = static_cast<std::uint8_t>(200 + i);
    }
    const vexa::pixels::PlaneTable planes{y, kSize, u, 3, v, 3};
    for (const bool uyvy : {false, true}) {
        for (const bool flip : {false, true}) {
            const int pitch = 16;
            std::vector<std::uint8_t> memory(pitch * kSize, kUntouched);
            const PackedImage image{memory.data(), pitch, kSize, kSize, kSize, uyvy};
            packYv12(planes, flip, image);
            SCOPED_TRACE(testing::Message() << "uyvy " << uyvy << " flip " << flip);
            for (int row = 0; row < 4; ++row) {
                const int out = flip ? kSize - 1 - row : row;
                for (int x = 0; x < 4; ++x) {
                    EXPECT_EQ(component(image, x, out, 0), y[row * kSize + x]);
                    EXPECT_EQ(component(image, x, out, 1), u[(row / 2) * 3 + x / 2]);
                    EXPECT_EQ(component(image, x, out, 2), v[(row / 2) * 3 + x / 2]);
                }
                EXPECT_EQ(memory[out * pitch + 8], kUntouched);  // the odd column
            }
            const int oddRow = flip ? 0 : kSize - 1;
            for (int i = 0; i < pitch; ++i)
                EXPECT_EQ(memory[oddRow * pitch + i], kUntouched);
        }
    }
}

// A frame in either order shows the same components on an image of either order.
TEST(OverlayPackTest, PackedCopySwapsPairsAndFlips) {
    constexpr int kWidth = 4, kHeight = 3;
    for (const bool frameUyvy : {false, true}) {
        std::vector<std::uint8_t> frame(kWidth * 2 * kHeight);
        for (std::size_t i = 0; i < frame.size(); ++i)
            frame[i] = static_cast<std::uint8_t>(i * 7);
        const PackedImage source{frame.data(), kWidth * 2, kWidth, kHeight, kHeight, frameUyvy};
        for (const bool imageUyvy : {false, true}) {
            for (const bool flip : {false, true}) {
                std::vector<std::uint8_t> memory(12 * kHeight, kUntouched);
                const PackedImage image{memory.data(), 12, kWidth, kHeight, kHeight, imageUyvy};
                copyPacked(frame.data(), frameUyvy, flip, image);
                SCOPED_TRACE(testing::Message() << frameUyvy << imageUyvy << flip);
                for (int row = 0; row < kHeight; ++row) {
                    const int out = flip ? kHeight - 1 - row : row;
                    for (int x = 0; x < kWidth; ++x) {
                        for (int which = 0; which < 3; ++which) {
                            EXPECT_EQ(component(image, x, out, which),
                                      component(source, x, row, which));
                        }
                    }
                    EXPECT_EQ(memory[out * 12 + 8], kUntouched);  // padding stays
                }
            }
        }
    }
}

class OverlayRendererTest : public testing::Test {
  protected:
    void SetUp() override {
        if (display_.get() == nullptr) {
            GTEST_SKIP() << "no X display";
        }
        host_ = std::make_unique<test::TestHost>(display_.get(), 160, 60, 64, 48);
    }

    // An overlay renderer over `port` (which it takes).
    OverlayRenderer rendererWith(std::unique_ptr<FakePort> port) {
        auto shared = std::make_shared<std::unique_ptr<FakePort>>(std::move(port));
        return OverlayRenderer([shared](::Display*, ::Window) -> std::unique_ptr<XvPort> {
            return std::move(*shared);
        });
    }

    test::TestDisplay display_{0};
    std::unique_ptr<test::TestHost> host_;
};

TEST_F(OverlayRendererTest, FormatOrderPerType) {
    struct Case {
        std::uint32_t type;
        bool yuy2, uyvy;
        std::uint32_t chosen;  // 0: open fails
    } cases[] = {
        {kTypeYuy2, true, true, kTypeYuy2},  {kTypeUyvy, true, true, kTypeUyvy},
        {kTypeYv12, true, true, kTypeYuy2},  {kTypeYv12, false, true, kTypeUyvy},
        {kTypeUyvy, true, false, kTypeYuy2}, {kTypeRg32, true, true, 0},
        {kTypeYuy2, false, false, 0},
    };
    for (const Case& c : cases) {
        auto port = std::make_unique<FakePort>();
        port->yuy2 = c.yuy2;
        port->uyvy = c.uyvy;
        OverlayRenderer renderer = rendererWith(std::move(port));
        EXPECT_EQ(renderer.open(*host_, 64, 48, c.type, 0, 1.0), c.chosen != 0);
        EXPECT_EQ(renderer.imageFormat(), c.chosen);
    }
}

TEST_F(OverlayRendererTest, OpenFillsBlackKeysAndPutsTheFittedPicture) {
    auto owned = std::make_unique<FakePort>();
    FakePort& port = *owned;
    OverlayRenderer renderer = rendererWith(std::move(owned));
    host_->origin = {1200, 0};  // the window runs 80 pixels off the monitor's right edge
    ASSERT_TRUE(renderer.open(*host_, 64, 48, kTypeYv12, 0, 1.0));

    EXPECT_EQ(port.key, host_->pixelOf(16, 0, 16));
    EXPECT_EQ(port.memory[0], 0x00);
    EXPECT_EQ(port.memory[1], 0x80);
    ASSERT_EQ(port.puts.size(), 1u);
    // Fitted: (40, 0, 120, 60) in the window, (1280, 0, 1360, 60) (1240, 0, 1320, 60) on screen:
    // the picture's left half.
    EXPECT_EQ(port.puts[0].first, (win::RECT{0, 0, 32, 48}));
    EXPECT_EQ(port.puts[0].second, (win::RECT{40, 0, 80, 60}));

    // A paint keys the destination and puts the picture again.
    host_->origin = {0, 0};
    EXPECT_TRUE(renderer.onPaint());
    ASSERT_EQ(port.puts.size(), 2u);
    EXPECT_EQ(port.puts[1].second, (win::RECT{40, 0, 120, 60}));
    const auto pixels = host_->pixels();
    EXPECT_EQ(pixels[30 * 160 + 80], port.key);
    EXPECT_EQ(pixels[30 * 160 + 10], host_->backgroundPixel());

    // A frame moves bytes; a put the port refuses asks for a re-open.
    std::vector<std::uint8_t> luma(64 * 48, 0x42), chroma(32 * 24, 0x99);
    const SonariPlaneTable frame{luma.data(), 64, chroma.data(), 32, chroma.data(), 32};
    renderer.draw(&frame);
    EXPECT_EQ(port.memory[0], 0x42);
    EXPECT_EQ(port.memory[1], 0x99);
    EXPECT_FALSE(renderer.needsReopen());
    port.putWorks = false;
    renderer.draw(&frame);
    EXPECT_TRUE(renderer.needsReopen());
}

}  // namespace
}  // namespace vexa::video
