// Device contexts at the depth X11_TEST_DEPTH names (a private Xvfb of that depth): fills, image
// copies and pixels read back, text, and what becomes of windows when the display goes away.
#include "platform/x11/tests/x11_test_support.h"

#include "platform/x11/paint.h"
#include "platform/x11/windows.h"

namespace win::testing {
namespace {

class Paint : public PrivateDisplayTest {
  protected:
    void SetUp() override {
        PrivateDisplayTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_EQ(DefaultDepth(other_, 0), depth());
        registerRecorder("Canvas", 0, rgb(0, 0, 0));
        hwnd_ = makeWindow("Canvas", WS_POPUP | WS_VISIBLE, 0, 0, {0, 0, 96, 64});
        ASSERT_NE(hwnd_, 0u);
        dc_ = getDC(hwnd_);
        ASSERT_NE(dc_, nullptr);
    }
    void TearDown() override {
        if (dc_ != nullptr) {
            releaseDC(hwnd_, dc_);
        }
        DisplayTest::TearDown();
    }

    HWND hwnd_ = 0;
    HDC dc_ = nullptr;
};

// Full and zero channels survive every depth unchanged.
constexpr COLORREF kColours[] = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 255, 255),
                                 rgb(0, 0, 0)};

TEST_F(Paint, FillsPixelsAndImagesReadBack) {
    for (const COLORREF colour : kColours) {
        SCOPED_TRACE(::testing::Message() << std::hex << colour);
        ASSERT_TRUE(fillRect(dc_, RECT{10, 10, 20, 20}, colour));
        EXPECT_EQ(getPixel(dc_, 10, 10), colour);
        EXPECT_EQ(getPixel(dc_, 19, 19), colour);
        EXPECT_NE(getPixel(dc_, 20, 20), colour == 0 ? kInvalidColour : colour);
        EXPECT_EQ(setPixel(dc_, 40, 5, colour), colour);
        EXPECT_EQ(getPixel(dc_, 40, 5), colour);
    }
    // A colour between the steps of the depth comes back as what setPixel answered.
    const COLORREF set = setPixel(dc_, 41, 5, rgb(100, 150, 200));
    EXPECT_EQ(getPixel(dc_, 41, 5), set);
    const int step = depth() == 16 ? 8 : 0;
    EXPECT_NEAR(static_cast<int>(set & 0xFF), 100, step);
    EXPECT_NEAR(static_cast<int>((set >> 16) & 0xFF), 200, step);
    EXPECT_EQ(getPixel(dc_, 500, 500), kInvalidColour);

    // An image of 4 x 2 pixels, B G R x, with a padded stride, placed partly outside.
    const std::uint8_t image[2][20] = {
        {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 9, 9, 9, 9},
        {0, 0, 0, 0, 255, 255, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 9, 9, 9, 9}};
    ASSERT_TRUE(copyImage(dc_, 50, 30, 4, 2, &image[0][0], 20));
    const COLORREF expected[2][4] = {
        {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 255, 255)},
        {rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 255), rgb(0, 255, 0)}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(getPixel(dc_, 50 + x, 30 + y), expected[y][x]) << x << "," << y;
        }
    }
    EXPECT_TRUE(copyImage(dc_, 94, 63, 4, 2, &image[0][0], 20));
    EXPECT_EQ(getPixel(dc_, 95, 63), rgb(0, 255, 0));
}

TEST_F(Paint, TextDrawsInsideItsRectangleWhereTheFlagsPlaceIt) {
    const HFONT font = createFont("Liberation Sans", 14, 700);
    ASSERT_NE(font, nullptr);
    const SIZE extent = getTextExtent(dc_, font, "Wg");
    EXPECT_GT(extent.cx, 10);
    EXPECT_GE(extent.cy, 14);
    struct Case {
        UINT flags;
        bool right, bottom;  // which half of the rectangle gets the text
    };
    const RECT rect{4, 4, 92, 60};
    for (const Case c : {Case{DT_LEFT, false, false}, Case{DT_RIGHT | DT_BOTTOM, true, true},
                         Case{DT_CENTER | DT_BOTTOM, false, true}}) {
        SCOPED_TRACE(c.flags);
        fillRect(dc_, RECT{0, 0, 96, 64}, rgb(0, 0, 0));
        EXPECT_EQ(drawText(dc_, font, "II", rect, c.flags, rgb(255, 255, 255)), extent.cy);
        XSync(x11::display(), False);
        XImage* image = XGetImage(other_, hwnd_, 0, 0, 96, 64, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        RECT found{1000, 1000, -1, -1};
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 96; ++x) {
                if (XGetPixel(image, x, y) == WhitePixel(other_, 0)) {
                    found = RECT{std::min(found.left, x), std::min(found.top, y),
                                 std::max(found.right, x + 1), std::max(found.bottom, y + 1)};
                }
            }
        }
        XDestroyImage(image);
        ASSERT_FALSE(found.empty()) << "no text drawn";
        EXPECT_GE(found.left, rect.left);
        EXPECT_LE(found.right, rect.right);
        EXPECT_GE(found.top, rect.top);
        EXPECT_LE(found.bottom, rect.bottom);
        const int middleX = (rect.left + rect.right) / 2, middleY = (rect.top + rect.bottom) / 2;
        EXPECT_EQ(found.left >= middleX, c.right);
        EXPECT_EQ(found.top >= middleY, c.bottom);
        EXPECT_EQ(found.left < middleX && found.right > middleX, (c.flags & DT_CENTER) != 0);
    }
    // Lines stack: the answer is the height of the block.
    EXPECT_EQ(drawText(dc_, font, "a\nb\nc", rect, DT_LEFT, 0), 3 * extent.cy);
    deleteFont(font);
}

TEST_F(Paint, LostDisplayEndsItsWindowsAndLaterCallsFail) {
    releaseDC(hwnd_, dc_);
    dc_ = nullptr;
    XCloseDisplay(other_);
    other_ = nullptr;
    xvfb_->stop();
    EXPECT_TRUE(pumpUntil([&] { return !isWindow(hwnd_); }));
    EXPECT_TRUE(receivedMessage(hwnd_, WM_DESTROY));
    EXPECT_EQ(x11::display(), nullptr);
    EXPECT_FALSE(x11::installDisplay());
    EXPECT_EQ(makeWindow("Canvas", WS_POPUP), 0u);
    EXPECT_EQ(getDC(hwnd_), nullptr);
    EXPECT_FALSE(invalidateRect(hwnd_, nullptr, true));
    RECT rect;
    EXPECT_FALSE(getClientRect(hwnd_, rect));
}

}  // namespace
}  // namespace win::testing
