// The arithmetic of where the picture goes: auto-size, the letterbox and the idle picture.
#include <gtest/gtest.h>

#include "axserver/video/idle_picture.h"
#include "axserver/video/picture_shape.h"

namespace vexa::video {
namespace {

TEST(PictureShape, DisplaySizeStretchesTheLongerSide) {
    struct Case {
        int width, height;
        double aspect;
        PictureSize expected;
    };
    const Case cases[] = {
        {320, 240, 1.0, {320, 240}}, {320, 240, 1.5, {320, 360}},
        {320, 240, 0.5, {640, 240}}, {320, 240, 0.0005, {320, 240}},
        {320, 240, 0.0, {320, 240}}, {720, 576, 1.0 / 1.422, {1023, 576}},
    };
    for (const Case& c : cases) {
        const PictureSize size = displaySize(c.width, c.height, c.aspect);
        EXPECT_EQ(size.width, c.expected.width) << c.width << "x" << c.height << " " << c.aspect;
        EXPECT_EQ(size.height, c.expected.height) << c.width << "x" << c.height << " " << c.aspect;
    }
}

TEST(PictureShape, FitLetterboxesAndPillarboxes) {
    struct Case {
        win::RECT rect;
        int width, height;
        double aspect;
        win::RECT expected;
    };
    const Case cases[] = {
        // Same shape: unchanged.
        {{0, 0, 640, 480}, 320, 240, 1.0, {0, 0, 640, 480}},
        // Wider window: bars left and right; the odd pixel goes right.
        {{0, 0, 801, 480}, 320, 240, 1.0, {80, 0, 720, 480}},
        // Taller window: bars above and below; the odd pixel goes to the bottom.
        {{0, 0, 640, 601}, 320, 240, 1.0, {0, 60, 640, 540}},
        // Pixel aspect stretches the height: 320 x 360 shown.
        {{0, 0, 640, 480}, 320, 240, 1.5, {107, 0, 533, 480}},
        // An offset rectangle keeps its offset.
        {{100, 50, 420, 410}, 320, 240, 1.0, {100, 110, 420, 350}},
        // No aspect counts as square instead of a picture of no height.
        {{0, 0, 640, 640}, 320, 240, 0.0, {0, 80, 640, 560}},
        // No stream size: the rectangle stays.
        {{0, 0, 640, 480}, 0, 240, 1.0, {0, 0, 640, 480}},
    };
    for (const Case& c : cases) {
        const win::RECT r = fitPicture(c.rect, c.width, c.height, c.aspect);
        EXPECT_EQ(r, c.expected) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(PictureShape, IdlePictureCentredWithFourStrips) {
    const IdleLayout big = idleLayout(500, 300, 320, 240);
    EXPECT_EQ(big.origin, (win::POINT{90, 30}));
    EXPECT_EQ(big.strips[0], (win::RECT{0, 0, 500, 30}));
    EXPECT_EQ(big.strips[1], (win::RECT{0, 270, 500, 300}));
    EXPECT_EQ(big.strips[2], (win::RECT{0, 30, 90, 270}));
    EXPECT_EQ(big.strips[3], (win::RECT{410, 30, 500, 270}));
    // A window smaller than the picture: negative origin, every strip empty.
    const IdleLayout small = idleLayout(101, 100, 320, 240);
    EXPECT_EQ(small.origin, (win::POINT{-109, -70}));
    for (const win::RECT& strip : small.strips) {
        EXPECT_TRUE(strip.empty());
    }
}

TEST(PictureShape, IdlePicturesAreWholeAndFlatAtTheCorner) {
    const IdlePicture logo = makeLogoPicture();
    const IdlePicture blank = makeBlankPicture();
    for (const IdlePicture* picture : {&logo, &blank}) {
        EXPECT_EQ(picture->width, 320);
        EXPECT_EQ(picture->height, 240);
        EXPECT_EQ(picture->pixels.size(), 320u * 240u * 4u);
    }
    EXPECT_EQ(blank.cornerColour(), 0u);
    // The logo's corners share the background colour that fills the rest of the window, and
    // something else is drawn in its middle.
    const auto at = [&logo](int x, int y) {
        const std::uint8_t* p = &logo.pixels[(y * 320 + x) * 4];
        return win::rgb(p[2], p[1], p[0]);
    };
    EXPECT_EQ(at(319, 239), logo.cornerColour());
    EXPECT_NE(at(160, 120), logo.cornerColour());
}

}  // namespace
}  // namespace vexa::video
