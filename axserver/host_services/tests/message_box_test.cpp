// The message box on the test display: it shows its caption as the window's title, draws its
// text and button, and Enter sent to it by the display ends it.
#include "axserver/host_services/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/messages.h"
#include "platform/x11/display.h"

// After gtest, whose names Xlib's macros would take.
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// The top-level window (or its frame's child) whose title is `title`; 0 when none.
::Window findTitled(::Display* dpy, ::Window under, const std::string& title) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(dpy, under, &root, &parent, &children, &count) == 0) {
        return 0;
    }
    ::Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(dpy, children[i], &name) != 0 && name != nullptr) {
            found = title == name ? children[i] : 0;
            XFree(name);
        }
        if (found == 0) {
            found = findTitled(dpy, children[i], title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

::Display* observer = nullptr;
::Window shown = 0;
unsigned long buttonPixel = 0;

TEST(MessageBox, ShowsItsCaptionAndEndsOnEnter) {
    if (!win::x11::installDisplay()) {
        GTEST_SKIP() << "no display";
    }
    observer = XOpenDisplay(nullptr);
    ASSERT_NE(observer, nullptr);
    win::WindowClass cls;
    cls.name = "MessageBoxTestTimer";
    cls.proc = [](win::HWND hwnd, win::UINT message, win::WPARAM, win::LPARAM) -> win::LRESULT {
        if (message != win::WM_TIMER) {
            return 0;
        }
        shown = findTitled(observer, DefaultRootWindow(observer), "About the test");
        if (shown == 0) {
            return 0;
        }
        win::killTimer(hwnd, 1);
        XWindowAttributes at;
        XGetWindowAttributes(observer, shown, &at);
        // The button's frame, centred near the bottom, is drawn in black.
        if (XImage* image = XGetImage(observer, shown, (at.width - 80) / 2, at.height - 42, 1, 1,
                                      AllPlanes, ZPixmap)) {
            buttonPixel = XGetPixel(image, 0, 0);
            XDestroyImage(image);
        }
        XEvent key{};
        key.xkey.type = KeyPress;
        key.xkey.display = observer;
        key.xkey.window = shown;
        key.xkey.root = DefaultRootWindow(observer);
        key.xkey.same_screen = True;
        key.xkey.keycode = XKeysymToKeycode(observer, XK_Return);
        XSendEvent(observer, shown, True, KeyPressMask, &key);
        XFlush(observer);
        return 0;
    };
    ASSERT_TRUE(win::registerClass(cls));
    const win::HWND timer = win::createWindow("MessageBoxTestTimer");
    ASSERT_NE(win::setTimer(timer, 1, 100), 0u);

    EXPECT_TRUE(vexa::host::showMessageBox(0, "No config yet...", "About the test"));
    EXPECT_NE(shown, 0u);
    EXPECT_EQ(buttonPixel, 0u);
    EXPECT_EQ(findTitled(observer, DefaultRootWindow(observer), "About the test"), 0u);
    win::destroyWindow(timer);
    XCloseDisplay(observer);
}

}  // namespace
