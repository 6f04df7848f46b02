// X protocol errors: caught by the trap of the thread whose requests they answer, else traced.
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "lib/x11/error_trap.h"
#include "platform/debug_trace.h"
#include "platform/x11/connection.h"
#include "platform/x11/display.h"

namespace win::x11 {
namespace {

struct TrapRecord {
    unsigned long firstSerial = 0;
    int error = 0;  // guarded by gTrapsLock
};

std::mutex gTrapsLock;             // guards gTraps and the error of every record
std::vector<TrapRecord*> gTraps;   // the active traps of every thread, oldest first
thread_local TrapRecord tlRecord;  // the calling thread's outer trap
thread_local bool tlActive = false;

// Xlib hands an error to whichever thread reads it; the serial tells whose request it answers.
// The calling thread's trap is preferred, then the newest trap that began before the request.
int onError(::Display* dpy, XErrorEvent* event) {
    // Drawing code's own traps (renderers on other threads) take the errors of their requests.
    if (kinvo::x11::ErrorTrap::dispatch(dpy, *event)) {
        return 0;
    }
    {
        std::lock_guard guard(gTrapsLock);
        TrapRecord* match = nullptr;
        if (tlActive && event->serial >= tlRecord.firstSerial) {
            match = &tlRecord;
        } else {
            for (auto it = gTraps.rbegin(); it != gTraps.rend(); ++it) {
                if (event->serial >= (*it)->firstSerial) {
                    match = *it;
                    break;
                }
            }
        }
        if (match != nullptr) {
            if (match->error == 0) {
                match->error = event->error_code;
            }
            return 0;
        }
    }
    if (debugTraceEnabled()) {
        char text[160];
        std::snprintf(text, sizeof text, "x11: error %d of request %d.%d on 0x%lx (display %p)\n",
                      event->error_code, event->request_code, event->minor_code, event->resourceid,
                      static_cast<void*>(dpy));
        debugTrace(text);
    }
    return 0;
}

}  // namespace

namespace detail {
void installErrorHandler() {
    XSetErrorHandler(onError);
}
}  // namespace detail

ErrorTrap::ErrorTrap() {
    detail::Connection* c = detail::anyConnection();
    if (c == nullptr || tlActive) {
        return;
    }
    outer_ = true;
    XLockDisplay(c->dpy);
    tlRecord.firstSerial = NextRequest(c->dpy);
    XUnlockDisplay(c->dpy);
    std::lock_guard guard(gTrapsLock);
    tlRecord.error = 0;
    tlActive = true;
    gTraps.push_back(&tlRecord);
}

ErrorTrap::~ErrorTrap() {
    if (!finished_) {
        finish();
    }
}

int ErrorTrap::finish() {
    detail::Connection* c = detail::anyConnection();
    if (c == nullptr) {
        return 0;
    }
    if (!finished_) {
        finished_ = true;
        XSync(c->dpy, False);
        // The round trip may have read events into Xlib's queue: the owner thread reads them.
        wakeOwner();
    }
    std::lock_guard guard(gTrapsLock);
    const int error = tlActive ? tlRecord.error : 0;
    if (outer_ && tlActive) {
        tlActive = false;
        gTraps.erase(std::find(gTraps.begin(), gTraps.end(), &tlRecord));
    }
    return error;
}

}  // namespace win::x11
