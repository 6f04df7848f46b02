// Display events as messages: keys, clicks and double clicks, closing, and paints with the
// class background, also asked for from another thread.
#include "platform/x11/tests/x11_test_support.h"

#include <X11/keysym.h>

#include <thread>

#include "platform/x11/paint.h"
#include "platform/x11/windows.h"

namespace win::testing {
namespace {

class Events : public PrivateDisplayTest {
  protected:
    void SetUp() override {
        PrivateDisplayTest::SetUp();
        registerRecorder("Clicks", CS_DBLCLKS, kNoBackground);
        registerRecorder("Single", 0, kNoBackground);
        registerRecorder("Red", 0, rgb(255, 0, 0));
    }

    XEvent key(HWND hwnd, KeySym keysym, unsigned state) {
        XEvent event{};
        event.xkey.type = KeyPress;
        event.xkey.keycode = XKeysymToKeycode(other_, keysym);
        event.xkey.state = state;
        event.xkey.same_screen = True;
        event.xkey.window = hwnd;
        return event;
    }
    XEvent button(int type, unsigned which, int x, int y, Time time) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.button = which;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.time = time;
        event.xbutton.same_screen = True;
        return event;
    }
    // Pumps until `count` key or mouse messages of the window came, then answers them.
    std::vector<Received> input(HWND hwnd, std::size_t count) {
        std::vector<Received> out;
        pumpUntil([&] {
            out.clear();
            for (const Received& r : received) {
                const bool keyOrMouse =
                    (r.message & 0xFFF0) == WM_KEYDOWN || (r.message & 0xFFF0) == WM_MOUSEMOVE;
                if (r.hwnd == hwnd && keyOrMouse) {
                    out.push_back(r);
                }
            }
            return out.size() >= count;
        });
        received.clear();
        return out;
    }
};

TEST_F(Events, KeysBecomeVirtualKeys) {
    const HWND hwnd = makeWindow("Single", WS_POPUP | WS_VISIBLE);
    ASSERT_NE(hwnd, 0u);
    struct Case {
        KeySym keysym;
        unsigned state;
        UINT message;
        WPARAM key;
    };
    const Case cases[] = {
        {XK_a, 0, WM_KEYDOWN, 'A'},          {XK_z, ShiftMask, WM_KEYDOWN, 'Z'},
        {XK_7, 0, WM_KEYDOWN, '7'},          {XK_F1, 0, WM_KEYDOWN, 0x70},
        {XK_F12, 0, WM_KEYDOWN, 0x7B},       {XK_F10, 0, WM_SYSKEYDOWN, 0x79},
        {XK_Left, 0, WM_KEYDOWN, 0x25},      {XK_Down, 0, WM_KEYDOWN, 0x28},
        {XK_Escape, 0, WM_KEYDOWN, 0x1B},    {XK_Return, 0, WM_KEYDOWN, 0x0D},
        {XK_space, 0, WM_KEYDOWN, 0x20},     {XK_Tab, 0, WM_KEYDOWN, 0x09},
        {XK_BackSpace, 0, WM_KEYDOWN, 0x08}, {XK_Delete, 0, WM_KEYDOWN, 0x2E},
        {XK_Home, 0, WM_KEYDOWN, 0x24},      {XK_End, 0, WM_KEYDOWN, 0x23},
        {XK_Prior, 0, WM_KEYDOWN, 0x21},     {XK_Next, 0, WM_KEYDOWN, 0x22},
        {XK_Insert, 0, WM_KEYDOWN, 0x2D},    {XK_x, Mod1Mask, WM_SYSKEYDOWN, 'X'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(XKeysymToString(c.keysym));
        ASSERT_NE(XKeysymToKeycode(other_, c.keysym), 0) << "not on this display's keyboard";
        send(hwnd, key(hwnd, c.keysym, c.state), KeyPressMask);
        const auto got = input(hwnd, 1);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].message, c.message);
        EXPECT_EQ(got[0].wParam, c.key);
        EXPECT_EQ(got[0].lParam & 0xFFFF, 1);  // repeat count
    }
    destroyWindow(hwnd);
}

TEST_F(Events, SecondPressSoonAndNearIsADoubleClickForClassesThatAsk) {
    struct Case {
        const char* cls;
        Time gap;
        int dx, dy;
        UINT second;
    };
    const Case cases[] = {
        {"Clicks", 200, 0, 0, WM_LBUTTONDBLCLK}, {"Clicks", 500, 4, 4, WM_LBUTTONDBLCLK},
        {"Clicks", 501, 0, 0, WM_LBUTTONDOWN},   {"Clicks", 100, 5, 0, WM_LBUTTONDOWN},
        {"Clicks", 100, 0, -5, WM_LBUTTONDOWN},  {"Single", 100, 0, 0, WM_LBUTTONDOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cls << " " << c.gap << " " << c.dx << "," << c.dy);
        const HWND hwnd = makeWindow(c.cls, WS_POPUP | WS_VISIBLE);
        ASSERT_NE(hwnd, 0u);
        send(hwnd, button(ButtonPress, Button1, 20, 30, 1000), ButtonPressMask);
        send(hwnd, button(ButtonPress, Button1, 20 + c.dx, 30 + c.dy, 1000 + c.gap),
             ButtonPressMask);
        const auto got = input(hwnd, 2);
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].message, WM_LBUTTONDOWN);
        EXPECT_EQ(got[0].lParam, (30 << 16) | 20);
        EXPECT_EQ(got[1].message, c.second);
        destroyWindow(hwnd);
    }
    // A third press after a double click starts over.
    const HWND hwnd = makeWindow("Clicks", WS_POPUP | WS_VISIBLE);
    for (Time t : {Time{1000}, Time{1100}, Time{1200}}) {
        send(hwnd, button(ButtonPress, Button1, 5, 5, t), ButtonPressMask);
    }
    const auto got = input(hwnd, 3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].message, WM_LBUTTONDOWN);
    destroyWindow(hwnd);
}

TEST_F(Events, RightButtonReleaseAndCloseRequest) {
    const HWND hwnd = makeWindow("Single", WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    ASSERT_NE(hwnd, 0u);
    send(hwnd, button(ButtonRelease, Button3, 12, 34, 5), ButtonReleaseMask);
    auto got = input(hwnd, 1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_RBUTTONUP);
    EXPECT_EQ(got[0].lParam, (34 << 16) | 12);

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.message_type = atom("WM_PROTOCOLS");
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
    send(hwnd, close, NoEventMask);
    // The recorder leaves WM_CLOSE to defWindowProc, which destroys the window.
    EXPECT_TRUE(pumpUntil([&] { return !isWindow(hwnd); }));
    EXPECT_TRUE(receivedMessage(hwnd, WM_CLOSE));
}

TEST_F(Events, PaintErasesWithTheClassColourOnceFromAnyThread) {
    const HWND hwnd = makeWindow("Red", WS_POPUP | WS_VISIBLE, 0, 0, {0, 0, 64, 48});
    ASSERT_NE(hwnd, 0u);
    auto paints = [&] {
        return std::count_if(received.begin(), received.end(),
                             [&](const Received& r) { return r.message == WM_PAINT; });
    };
    // The exposure of the new window paints once: defWindowProc validates it.
    ASSERT_TRUE(pumpUntil([&] { return paints() >= 1; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(paints(), 1);
    const unsigned long red = pixelAt(hwnd, 10, 10);
    EXPECT_EQ(red, 0xFF0000ul);  // the test display's 24-bit TrueColor

    // Painted over, then invalidated from another thread: the class colour comes back there.
    HDC dc = getDC(hwnd);
    ASSERT_NE(dc, nullptr);
    fillRect(dc, RECT{0, 0, 64, 48}, rgb(0, 0, 255));
    releaseDC(hwnd, dc);
    XSync(x11::display(), False);
    ASSERT_NE(pixelAt(hwnd, 10, 10), red);
    received.clear();
    std::thread renderer([&] {
        const RECT part{0, 0, 32, 48};
        invalidateRect(hwnd, &part, true);
        invalidateRect(hwnd, &part, true);
        x11::wakeOwner();
    });
    renderer.join();
    ASSERT_TRUE(pumpUntil([&] { return paints() >= 1; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(paints(), 1);
    EXPECT_EQ(pixelAt(hwnd, 10, 10), red);
    EXPECT_NE(pixelAt(hwnd, 40, 10), red);
    EXPECT_TRUE(receivedMessage(hwnd, WM_ERASEBKGND));

    // A procedure that answers WM_ERASEBKGND erases in its own colour instead.
    static WNDPROC saved = nullptr;
    saved = setWindowProc(hwnd, [](HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ERASEBKGND) {
            fillRect(reinterpret_cast<HDC>(wParam), RECT{0, 0, 64, 48}, rgb(0, 255, 0));
            return LRESULT{1};
        }
        return callWindowProc(saved, w, message, wParam, lParam);
    });
    received.clear();
    invalidateRect(hwnd, nullptr, true);
    ASSERT_TRUE(pumpUntil([&] { return paints() >= 1; }));
    XSync(x11::display(), False);
    EXPECT_EQ(pixelAt(hwnd, 10, 10), 0x00FF00ul);
    destroyWindow(hwnd);
}

}  // namespace
}  // namespace win::testing
