// The process's display connection: opening it, reading its events on the owner thread, waking
// that thread from others, and what happens when the connection is lost.
#include "platform/x11/display.h"

#include <X11/Xatom.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "lib/x11/display_state.h"
#include "platform/debug_trace.h"
#include "platform/messages.h"
#include "platform/x11/internal.h"

namespace win::x11 {
namespace detail {
namespace {

std::atomic<Connection*> gConnection{nullptr};
std::mutex gInstallLock;  // orders installDisplay calls

void internAtoms(::Display* dpy, Atoms& atoms) {
    const char* names[] = {"WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "_MOTIF_WM_HINTS",
                           "_NET_WM_NAME",
                           "UTF8_STRING",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_ABOVE",
                           "_NET_WM_STATE_FULLSCREEN",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_NORMAL",
                           "_NET_WM_WINDOW_TYPE_UTILITY",
                           "_NET_SUPPORTING_WM_CHECK",
                           "_NET_WORKAREA",
                           "_NET_CURRENT_DESKTOP",
                           "_NET_FRAME_EXTENTS",
                           "_NET_WM_PID"};
    Atom* targets[] = {&atoms.wmProtocols,
                       &atoms.wmDeleteWindow,
                       &atoms.motifHints,
                       &atoms.netWmName,
                       &atoms.utf8String,
                       &atoms.netWmState,
                       &atoms.netWmStateAbove,
                       &atoms.netWmStateFullscreen,
                       &atoms.netWmWindowType,
                       &atoms.netWmWindowTypeNormal,
                       &atoms.netWmWindowTypeUtility,
                       &atoms.netSupportingWmCheck,
                       &atoms.netWorkarea,
                       &atoms.netCurrentDesktop,
                       &atoms.netFrameExtents,
                       &atoms.netWmPid};
    constexpr int count = sizeof names / sizeof names[0];
    Atom values[count] = {};
    XInternAtoms(dpy, const_cast<char**>(names), count, False, values);
    for (int i = 0; i < count; ++i) {
        *targets[i] = values[i];
    }
}

// The connection is gone: every window goes on this (the owner) thread, as if destroyed.
void tearDown(Connection& c) {
    static bool done = false;  // owner thread only
    if (done) {
        return;
    }
    done = true;
    debugTrace("x11: the connection to the display was lost\n");
    removeQueueSource(ConnectionNumber(c.dpy));
    removeQueueSource(c.wake.get());
    setVisibleWindowFactory(nullptr);
    setForeignWindowProbe(nullptr);
    for (const auto& state : c.all()) {
        state->gone = true;
        destroyWindow(state->hwnd);
    }
}

void drain(Connection& c) {
    while (!c.lost && XPending(c.dpy) > 0) {
        XEvent event;
        XNextEvent(c.dpy, &event);
        handleEvent(c, event);
    }
    if (c.lost) {
        tearDown(c);
    }
}

int onIoError(::Display* dpy) {
    kinvo::x11::markDisplayLost(dpy);
    if (Connection* c = gConnection.load()) {
        c->lost = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(c->wake.get(), &one, sizeof one);
    }
    return 0;
}

// Xlib ends the process after the handler above unless this one returns: the process goes on.
void onIoErrorExit(::Display*, void*) {}

}  // namespace

Connection::Connection(::Display* display, UniqueFd wakeFd)
    : dpy(display),
      screen(DefaultScreen(display)),
      root(RootWindow(display, DefaultScreen(display))),
      owner(std::this_thread::get_id()),
      wake(std::move(wakeFd)) {
    internAtoms(dpy, atoms);
}

std::shared_ptr<WindowState> Connection::find(HWND hwnd) {
    std::lock_guard guard(windowsLock_);
    const auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second;
}

void Connection::add(std::shared_ptr<WindowState> state) {
    std::lock_guard guard(windowsLock_);
    windows_[state->hwnd] = std::move(state);
}

std::shared_ptr<WindowState> Connection::remove(HWND hwnd) {
    std::lock_guard guard(windowsLock_);
    const auto it = windows_.find(hwnd);
    if (it == windows_.end()) {
        return nullptr;
    }
    auto state = std::move(it->second);
    windows_.erase(it);
    return state;
}

std::vector<std::shared_ptr<WindowState>> Connection::all() {
    std::lock_guard guard(windowsLock_);
    std::vector<std::shared_ptr<WindowState>> out;
    for (const auto& [hwnd, state] : windows_) {
        out.push_back(state);
    }
    return out;
}

bool Connection::windowManagerRunning() {
    ErrorTrap trap;
    const auto check = readProperty(dpy, root, atoms.netSupportingWmCheck, XA_WINDOW);
    if (check.empty()) {
        return false;
    }
    const auto again = readProperty(dpy, check[0], atoms.netSupportingWmCheck, XA_WINDOW);
    return trap.finish() == 0 && !again.empty() && again[0] == check[0];
}

Connection* connection() {
    Connection* c = gConnection.load();
    return c != nullptr && !c->lost ? c : nullptr;
}

Connection* anyConnection() {
    return gConnection.load();
}

std::vector<unsigned long> readProperty(::Display* dpy, ::Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    if (XGetWindowProperty(dpy, window, property, 0, 4096, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32 && actualType == type) {
            // Xlib hands 32-bit items as longs.
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            out.assign(items, items + count);
        }
        XFree(data);
    }
    return out;
}

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return r.empty() ? RECT{} : r;
}

RECT unite(const RECT& a, const RECT& b) {
    if (a.empty()) {
        return b;
    }
    if (b.empty()) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace detail

bool installDisplay() {
    using namespace detail;
    std::lock_guard guard(gInstallLock);
    if (Connection* c = gConnection.load()) {
        return !c->lost;
    }
    XInitThreads();
    ::Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        debugTrace("x11: no display to open\n");
        return false;
    }
    UniqueFd wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!wake) {
        XCloseDisplay(dpy);
        return false;
    }
    installErrorHandler();
    XSetIOErrorHandler(onIoError);
    XSetIOErrorExitHandler(dpy, onIoErrorExit, nullptr);
    // Never deleted: the connection lasts as long as the process.
    auto* c = new Connection(dpy, std::move(wake));
    gConnection = c;
    addQueueSource(ConnectionNumber(dpy), [c] { drain(*c); });
    addQueueSource(c->wake.get(), [c] {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(c->wake.get(), &count, sizeof count);
        drain(*c);
    });
    setForeignWindowProbe([c](HWND hwnd) { return displayWindowExists(*c, hwnd); });
    setVisibleWindowFactory([c](const CreateParams& params) { return makeWindow(*c, params); });
    return true;
}

::Display* display() {
    detail::Connection* c = detail::connection();
    return c != nullptr ? c->dpy : nullptr;
}

void wakeOwner() {
    if (detail::Connection* c = detail::gConnection.load()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(c->wake.get(), &one, sizeof one);
    }
}

bool drawableOf(HWND hwnd, Drawable& out) {
    detail::Connection* c = detail::connection();
    const auto state = c != nullptr ? c->find(hwnd) : nullptr;
    if (!state || state->gone) {
        return false;
    }
    out = Drawable{state->id, state->visual, state->depth, state->screen};
    return true;
}

}  // namespace win::x11
