#pragma once
// The process's one display connection and the table of its visible windows (module-internal).
//
// Made by installDisplay on the thread that will own the visible windows and never destroyed (the
// connection lives as long as the process). connection() answers null before that and after the
// connection was lost, so every call of the module fails cleanly then.
//
// Threads: windowsLock_ guards windows_; WindowState documents its own fields. Xlib is
// thread-safe (XInitThreads), so any thread may make requests; the owner thread alone reads
// events.

#include <X11/Xlib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/unique_fd.h"
#include "platform/x11/window_types.h"

namespace win::x11::detail {

struct Atoms {
    Atom wmProtocols, wmDeleteWindow, motifHints, netWmName, utf8String, netWmState,
        netWmStateAbove, netWmStateFullscreen, netWmWindowType, netWmWindowTypeNormal,
        netWmWindowTypeUtility, netSupportingWmCheck, netWorkarea, netCurrentDesktop,
        netFrameExtents, netWmPid;
};

struct WindowState {
    HWND hwnd = 0;
    ::Window id = 0;
    int screen = 0;
    ::Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    UINT classStyle = 0;
    COLORREF background = kNoBackground;

    // Owner thread only.
    UINT style = 0;
    UINT exStyle = 0;
    int x = 0, y = 0;  // client origin: parent's client coordinates (screen for top-level)
    Time lastClickTime = 0;
    int lastClickX = 0, lastClickY = 0;
    bool lastClickMade = false;  // a press that may start a double click

    // Any thread (written on the owner thread).
    std::atomic<HWND> parent{0};  // 0: top-level
    std::atomic<int> width{1}, height{1};
    std::atomic<bool> visible{false};
    std::atomic<bool> gone{false};  // the display window no longer exists

    std::mutex paintLock;  // guards invalid and erase, and orders them with the pending paint
    RECT invalid;
    bool erase = false;
};

class Connection {
  public:
    Connection(::Display* dpy, UniqueFd wake);

    ::Display* const dpy;
    const int screen;
    const ::Window root;
    const std::thread::id owner;
    Atoms atoms{};
    UniqueFd wake;  // eventfd: another thread read events, or the connection was lost
    std::atomic<bool> lost{false};

    std::shared_ptr<WindowState> find(HWND hwnd);
    void add(std::shared_ptr<WindowState> state);
    std::shared_ptr<WindowState> remove(HWND hwnd);
    std::vector<std::shared_ptr<WindowState>> all();

    // Whether an EWMH window manager runs (_NET_SUPPORTING_WM_CHECK names a live window).
    bool windowManagerRunning();

  private:
    std::mutex windowsLock_;  // guards windows_
    std::unordered_map<HWND, std::shared_ptr<WindowState>> windows_;
};

// Null before installDisplay succeeded and once the connection is lost.
Connection* connection();
// The connection even when lost (requests on it then fail at once); null before installDisplay.
Connection* anyConnection();
// Installs the process's X error handler (error_trap.cpp): errors go to the thread's trap or the
// debug trace; none ends the process.
void installErrorHandler();

// The first 32-bit-format property items (CARDINAL, ATOM, WINDOW) of a window; empty when none.
std::vector<unsigned long> readProperty(::Display* dpy, ::Window window, Atom property, Atom type);

// Rectangle helpers.
RECT intersect(const RECT& a, const RECT& b);
RECT unite(const RECT& a, const RECT& b);

}  // namespace win::x11::detail
