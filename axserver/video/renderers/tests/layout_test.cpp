// Subtitle placement: font height, text height and the rectangle the position bytes give.
#include <gtest/gtest.h>

#include "axserver/video/renderers/subtitle_layout.h"
#include "axserver/video/renderers/tests/test_host.h"

namespace vexa::video {
namespace {

TEST(SubtitleLayoutTest, FontAndTextHeights) {
    EXPECT_EQ(subtitleFontHeight(768, 0), 32);
    EXPECT_EQ(subtitleFontHeight(480, 0), 25);  // 11.25 truncated
    EXPECT_EQ(subtitleFontHeight(240, 3), 22);
    EXPECT_EQ(subtitleFontHeight(240, -4), 15);
    EXPECT_EQ(subtitleTextHeight("Hello", 20), 20);
    EXPECT_EQ(subtitleTextHeight("", 20), 20);
    EXPECT_EQ(subtitleTextHeight("two\nlines", 20), 40);
    EXPECT_EQ(subtitleTextHeight("a\nb\n", 20), 60);
}

TEST(SubtitleLayoutTest, PositionBytesPlaceTheRectangle) {
    using A = SubtitleAlign;
    struct Case {
        win::RECT area;
        int x, y, textHeight;
        win::RECT rect;
        A align;
        bool bottom;
    } cases[] = {
        {{0, 0, 640, 480}, 0, 0, 40, {0, 0, 640, 40}, A::kLeft, false},
        {{0, 0, 640, 480}, 127, 255, 40, {0, 440, 640, 480}, A::kCentre, true},
        {{0, 0, 640, 480}, 255, 128, 40, {0, 220, 640, 260}, A::kRight, true},
        {{0, 0, 640, 480}, 64, 127, 40, {160, 219, 640, 259}, A::kLeft, false},
        {{0, 0, 640, 480}, 192, 0, 20, {0, 0, 483, 20}, A::kRight, false},
        {{100, 50, 740, 530}, 0, 255, 40, {100, 490, 740, 530}, A::kLeft, true},
        // A text taller than the area runs off the top in proportion.
        {{0, 0, 100, 30}, 127, 255, 60, {0, -30, 100, 30}, A::kCentre, true},
    };
    for (const Case& c : cases) {
        const SubtitlePlacement placed = placeSubtitle(
            c.area, static_cast<std::uint8_t>(c.x), static_cast<std::uint8_t>(c.y), c.textHeight);
        SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y);
        EXPECT_EQ(placed.rect, c.rect);
        EXPECT_EQ(placed.align, c.align);
        EXPECT_EQ(placed.bottom, c.bottom);
    }
}

}  // namespace
}  // namespace vexa::video
