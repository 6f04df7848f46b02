// Visible windows on the display: what each style tells the window manager, children of another
// program's window, placement and its messages, and monitors.
#include "platform/x11/tests/x11_test_support.h"

#include <X11/Xatom.h>

#include "platform/x11/monitors.h"
#include "platform/x11/windows.h"

namespace win::testing {
namespace {

class Windows : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        registerRecorder("Plain", 0, kNoBackground);
    }
};

TEST_F(Windows, StylesTellTheWindowManagerWhatTheWindowIs) {
    struct Case {
        UINT style, exStyle;
        unsigned long decorations;  // of _MOTIF_WM_HINTS
        bool above, utility;
    };
    const UINT captioned = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    const Case cases[] = {
        // border, resize handle, title, menu, minimise: no maximise box
        {captioned, 0, 2 | 4 | 8 | 16 | 32, false, false},
        {WS_POPUP, 0, 0, false, false},
        {WS_POPUP, WS_EX_TOPMOST, 0, true, false},
        {captioned, WS_EX_TOOLWINDOW, 2 | 4 | 8 | 16 | 32, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.style << " " << c.exStyle);
        const HWND hwnd = makeWindow("Plain", c.style, c.exStyle);
        ASSERT_NE(hwnd, 0u);
        const auto hints = property(hwnd, "_MOTIF_WM_HINTS", atom("_MOTIF_WM_HINTS"));
        ASSERT_EQ(hints.size(), 5u);
        EXPECT_EQ(hints[2], c.decorations);
        const auto state = property(hwnd, "_NET_WM_STATE", XA_ATOM);
        EXPECT_EQ(state.size() == 1 && state[0] == atom("_NET_WM_STATE_ABOVE"), c.above);
        const auto type = property(hwnd, "_NET_WM_WINDOW_TYPE", XA_ATOM);
        ASSERT_EQ(type.size(), 1u);
        EXPECT_EQ(type[0] == atom("_NET_WM_WINDOW_TYPE_UTILITY"), c.utility);
        const auto protocols = property(hwnd, "WM_PROTOCOLS", XA_ATOM);
        EXPECT_EQ(protocols, std::vector<unsigned long>{atom("WM_DELETE_WINDOW")});
        EXPECT_EQ(getParent(hwnd), 0u);
        EXPECT_TRUE(destroyWindow(hwnd));
        EXPECT_FALSE(isWindow(hwnd));
    }
}

TEST_F(Windows, TitleAndPlacementByTheSystem) {
    const HWND hwnd = makeWindow("Plain", WS_CAPTION, 0, 0, {CW_USEDEFAULT, 0, CW_USEDEFAULT, 0});
    ASSERT_NE(hwnd, 0u);
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(other_, hwnd, &hints, &supplied));
    EXPECT_EQ(hints.flags & (USPosition | PPosition), 0);
    setWindowText(hwnd, "Wiedergabe – Video");
    char* name = nullptr;
    XSync(other_, False);
    ASSERT_TRUE(XFetchName(other_, hwnd, &name));
    EXPECT_STREQ(name, "Wiedergabe – Video");
    XFree(name);
    destroyWindow(hwnd);
}

TEST_F(Windows, ChildOfAnotherProgramsWindowFollowsItsParent) {
    const ::Window parent = foreignWindow(300, 200);
    const ::Window second = foreignWindow();
    // The other program's windows are windows, with their geometry.
    EXPECT_TRUE(isWindow(static_cast<HWND>(parent)));
    EXPECT_FALSE(isWindow(0x1FFFFFF0));
    RECT rect;
    ASSERT_TRUE(getClientRect(static_cast<HWND>(parent), rect));
    EXPECT_EQ(rect, (RECT{0, 0, 300, 200}));
    POINT point{5, 6};
    ASSERT_TRUE(clientToScreen(static_cast<HWND>(parent), point));
    EXPECT_EQ(point, (POINT{55, 66}));
    ASSERT_TRUE(getWindowRect(static_cast<HWND>(parent), rect));
    EXPECT_EQ(rect, (RECT{50, 60, 350, 260}));

    const HWND child =
        makeWindow("Plain", WS_CHILD | WS_VISIBLE, 0, static_cast<HWND>(parent), {4, 8, 104, 58});
    ASSERT_NE(child, 0u);
    EXPECT_EQ(getParent(child), parent);
    ::Window root = 0, treeParent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(other_, child, &root, &treeParent, &children, &count);
    XFree(children);
    EXPECT_EQ(treeParent, parent);
    ASSERT_TRUE(getWindowRect(child, rect));
    EXPECT_EQ(rect, (RECT{54, 68, 154, 118}));

    // Re-parented to another window, to the root and back.
    EXPECT_EQ(setParent(child, static_cast<HWND>(second)), parent);
    EXPECT_EQ(getParent(child), second);
    EXPECT_EQ(setParent(child, 0), second);
    EXPECT_EQ(getParent(child), 0u);
    XQueryTree(other_, child, &root, &treeParent, &children, &count);
    XFree(children);
    EXPECT_EQ(treeParent, root);
    EXPECT_EQ(setParent(child, static_cast<HWND>(parent)), 0u);
    EXPECT_TRUE(isWindow(child));

    // The parent's program destroys it: ours goes with it, with its last messages.
    XDestroyWindow(other_, parent);
    XSync(other_, False);
    EXPECT_TRUE(pumpUntil([&] { return !isWindow(child); }));
    EXPECT_TRUE(receivedMessage(child, WM_DESTROY));
    EXPECT_TRUE(receivedMessage(child, WM_NCDESTROY));
    EXPECT_FALSE(isWindow(static_cast<HWND>(parent)));
    EXPECT_FALSE(getClientRect(static_cast<HWND>(parent), rect));
    // A child of a window that is gone is not made.
    EXPECT_EQ(makeWindow("Plain", WS_CHILD, 0, static_cast<HWND>(parent)), 0u);
    XDestroyWindow(other_, second);
}

TEST_F(Windows, PlacementSendsItsMessagesAndFollowsOutsideChanges) {
    const HWND hwnd = makeWindow("Plain", WS_POPUP | WS_VISIBLE);
    ASSERT_NE(hwnd, 0u);
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    received.clear();
    ASSERT_TRUE(setWindowPos(hwnd, HWND_TOPMOST, 30, 40, 200, 100, 0));
    Received size{}, move{};
    ASSERT_TRUE(receivedMessage(hwnd, WM_SIZE, &size));
    EXPECT_EQ(size.lParam, (100 << 16) | 200);
    ASSERT_TRUE(receivedMessage(hwnd, WM_MOVE, &move));
    EXPECT_EQ(move.lParam, (40 << 16) | 30);
    EXPECT_TRUE(receivedMessage(hwnd, WM_WINDOWPOSCHANGED));
    EXPECT_EQ(getWindowExStyle(hwnd) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    RECT rect;
    ASSERT_TRUE(getClientRect(hwnd, rect));
    EXPECT_EQ(rect, (RECT{0, 0, 200, 100}));

    // Another program resizes it: the display's report becomes WM_SIZE.
    received.clear();
    XResizeWindow(other_, hwnd, 120, 90);
    XSync(other_, False);
    ASSERT_TRUE(pumpUntil([&] { return receivedMessage(hwnd, WM_SIZE, &size); }));
    EXPECT_EQ(size.lParam, (90 << 16) | 120);
    EXPECT_FALSE(receivedMessage(hwnd, WM_MOVE));
    ASSERT_TRUE(getClientRect(hwnd, rect));
    EXPECT_EQ(rect, (RECT{0, 0, 120, 90}));

    EXPECT_TRUE(showWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(isWindowVisible(hwnd));
    EXPECT_FALSE(showWindow(hwnd, SW_SHOW));
    destroyWindow(hwnd);
}

TEST_F(Windows, MonitorsWithoutAWindowManager) {
    const RECT screen{0, 0, DisplayWidth(other_, 0), DisplayHeight(other_, 0)};
    // Far off every monitor: the nearest one; no work area published: the monitor itself.
    EXPECT_EQ(monitorRectOfRect(RECT{9000, 9000, 9100, 9100}, true), screen);
    EXPECT_EQ(monitorRectOfRect(RECT{10, 10, 20, 20}, false), screen);
    // A published work area is cut to the monitor.
    const long area[4] = {0, 30, 5000, 5000};
    const Atom workarea = atom("_NET_WORKAREA");
    XChangeProperty(other_, DefaultRootWindow(other_), workarea, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(area), 4);
    XSync(other_, False);
    EXPECT_EQ(monitorRectOfRect(RECT{10, 10, 20, 20}, false),
              (RECT{0, 30, screen.right, screen.bottom}));
    XDeleteProperty(other_, DefaultRootWindow(other_), workarea);
    XSync(other_, False);

    // A pop-up on the whole monitor is placed there; full screen is asked only of a window manager.
    const HWND hwnd = makeWindow("Plain", WS_POPUP | WS_VISIBLE, 0, 0, screen);
    ASSERT_NE(hwnd, 0u);
    RECT whole;
    ASSERT_TRUE(monitorOfWindowExactly(hwnd, whole));
    EXPECT_EQ(whole, screen);
    EXPECT_EQ(monitorRectOfWindow(hwnd, true), screen);
    EXPECT_TRUE(property(hwnd, "_NET_WM_STATE", XA_ATOM).empty());
    destroyWindow(hwnd);
}

}  // namespace
}  // namespace win::testing
