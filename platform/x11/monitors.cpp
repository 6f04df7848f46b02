// Monitors from XRandR (else the whole screen) and their work areas.
#include "platform/x11/monitors.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

#include "platform/x11/display.h"
#include "platform/x11/internal.h"
#include "platform/x11/windows.h"

namespace win {
namespace {

using x11::detail::Connection;

std::vector<RECT> monitors(Connection& c) {
    std::vector<RECT> out;
    int event = 0, error = 0;
    if (XRRQueryExtension(c.dpy, &event, &error)) {
        int count = 0;
        XRRMonitorInfo* info = XRRGetMonitors(c.dpy, c.root, True, &count);
        for (int i = 0; info != nullptr && i < count; ++i) {
            out.push_back(
                RECT{info[i].x, info[i].y, info[i].x + info[i].width, info[i].y + info[i].height});
        }
        if (info != nullptr) {
            XRRFreeMonitors(info);
        }
    }
    if (out.empty()) {
        out.push_back(RECT{0, 0, DisplayWidth(c.dpy, c.screen), DisplayHeight(c.dpy, c.screen)});
    }
    return out;
}

long long area(const RECT& r) {
    return r.empty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

// The squared distance between the rectangles' centres.
long long distance(const RECT& a, const RECT& b) {
    const long long dx = (a.left + a.right) - (b.left + b.right);
    const long long dy = (a.top + a.bottom) - (b.top + b.bottom);
    return dx * dx + dy * dy;
}

RECT nearest(Connection& c, const RECT& rect) {
    const auto all = monitors(c);
    const RECT* best = &all.front();
    for (const RECT& m : all) {
        const long long overlap = area(x11::detail::intersect(m, rect));
        const long long bestOverlap = area(x11::detail::intersect(*best, rect));
        if (overlap > bestOverlap ||
            (overlap == bestOverlap && overlap == 0 && distance(m, rect) < distance(*best, rect))) {
            best = &m;
        }
    }
    return *best;
}

RECT workArea(Connection& c, const RECT& monitor) {
    x11::ErrorTrap trap;
    const auto areas = x11::detail::readProperty(c.dpy, c.root, c.atoms.netWorkarea, XA_CARDINAL);
    const auto desktop =
        x11::detail::readProperty(c.dpy, c.root, c.atoms.netCurrentDesktop, XA_CARDINAL);
    trap.finish();
    std::size_t index = desktop.empty() ? 0 : desktop[0];
    if (areas.size() < 4 * (index + 1)) {
        index = 0;
    }
    if (areas.size() < 4) {
        return monitor;
    }
    const auto* a = &areas[4 * index];
    const RECT work{static_cast<int>(a[0]), static_cast<int>(a[1]), static_cast<int>(a[0] + a[2]),
                    static_cast<int>(a[1] + a[3])};
    const RECT both = x11::detail::intersect(work, monitor);
    return both.empty() ? monitor : both;
}

}  // namespace

RECT monitorRectOfRect(const RECT& rect, bool whole) {
    Connection* c = x11::detail::connection();
    if (c == nullptr) {
        return {};
    }
    const RECT monitor = nearest(*c, rect);
    return whole ? monitor : workArea(*c, monitor);
}

RECT monitorRectOfWindow(HWND hwnd, bool whole) {
    RECT rect;
    if (!getWindowRect(hwnd, rect)) {
        return {};
    }
    return monitorRectOfRect(rect, whole);
}

bool monitorOfWindowExactly(HWND hwnd, RECT& whole) {
    Connection* c = x11::detail::connection();
    RECT rect;
    if (c == nullptr || !getWindowRect(hwnd, rect)) {
        return false;
    }
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    for (const RECT& m : monitors(*c)) {
        if (cx >= m.left && cx < m.right && cy >= m.top && cy < m.bottom) {
            whole = m;
            return true;
        }
    }
    return false;
}

}  // namespace win
