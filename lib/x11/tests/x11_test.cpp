// The X owners against the test display (DISPLAY; skipped without one).
#include <gtest/gtest.h>

#include <cstring>

#include "lib/x11/error_trap.h"
#include "lib/x11/image.h"
#include "lib/x11/resources.h"

namespace {

struct DisplayCloser {
    void operator()(::Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<::Display, DisplayCloser>;

TEST(ErrorTrapTest, CatchesOnlyErrorsAfterItsStart) {
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        GTEST_SKIP() << "no X display";
    }
    kinvo::x11::ErrorTrap clean(display.get());
    XNoOp(display.get());
    EXPECT_TRUE(clean.finish());

    kinvo::x11::ErrorTrap trap(display.get());
    XFreePixmap(display.get(), 0x1);  // not ours: BadPixmap
    EXPECT_FALSE(trap.finish());
    EXPECT_EQ(trap.errorCode(), BadPixmap);
}

// Both image kinds carry their bytes to the server unchanged.
TEST(ImageTest, PutImagesReadBackUnchanged) {
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        GTEST_SKIP() << "no X display";
    }
    ::Display* d = display.get();
    const int screen = DefaultScreen(d);
    ::Visual* visual = DefaultVisual(d, screen);
    const int depth = DefaultDepth(d, screen);
    kinvo::x11::Pixmap pixmap(d, XCreatePixmap(d, RootWindow(d, screen), 7, 5, depth));
    kinvo::x11::Gc gc(d, XCreateGC(d, pixmap.get(), 0, nullptr));

    auto check = [&](::XImage* image, bool shared) {
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                XPutPixel(image, x, y, (x * 37 + y * 91) & 0xFFFF);
            }
        }
        if (shared) {
            XShmPutImage(d, pixmap.get(), gc.get(), image, 0, 0, 0, 0, 7, 5, False);
        } else {
            XPutImage(d, pixmap.get(), gc.get(), image, 0, 0, 0, 0, 7, 5);
        }
        ::XImage* back = XGetImage(d, pixmap.get(), 0, 0, 7, 5, AllPlanes, ZPixmap);
        ASSERT_NE(back, nullptr);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                EXPECT_EQ(XGetPixel(back, x, y), XGetPixel(image, x, y)) << x << "," << y;
            }
        }
        XDestroyImage(back);
    };
    auto plain = kinvo::x11::Image::create(d, visual, depth, 7, 5);
    ASSERT_TRUE(plain);
    check(plain.get(), false);
    auto shared = kinvo::x11::ShmImage::create(d, visual, depth, 7, 5);
    ASSERT_TRUE(shared);
    check(shared.get(), true);
    auto moved = std::move(shared);
    EXPECT_FALSE(shared);
    check(moved.get(), true);
}

}  // namespace
