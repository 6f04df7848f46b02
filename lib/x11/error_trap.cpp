#include "lib/x11/error_trap.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "lib/x11/display_state.h"

namespace kinvo::x11 {
namespace {

// The traps alive in the process, oldest first, and Xlib's default handler.
std::mutex gMutex;
std::vector<ErrorTrap*> gTraps;    // guarded by gMutex
XErrorHandler gDefault = nullptr;  // guarded by gMutex

int handleError(::Display* display, ::XErrorEvent* event) {
    if (ErrorTrap::dispatch(display, *event)) {
        return 0;
    }
    XErrorHandler fallback;
    {
        std::lock_guard lock(gMutex);
        fallback = gDefault;
    }
    return fallback != nullptr ? fallback(display, event) : 0;
}

// Puts handleError in place when the current handler is Xlib's own.
void installIfDefault() {
    std::lock_guard lock(gMutex);
    XErrorHandler current = XSetErrorHandler(nullptr);  // installs the default, answers current
    XErrorHandler standard = XSetErrorHandler(current);
    if (current == &handleError) {
        return;
    }
    if (current == standard) {
        gDefault = standard;
        XSetErrorHandler(&handleError);
    }
}

}  // namespace

ErrorTrap::ErrorTrap(::Display* display) noexcept
    : display_(display), firstSerial_(NextRequest(display)), thread_(std::this_thread::get_id()) {
    installIfDefault();
    std::lock_guard lock(gMutex);
    gTraps.push_back(this);
}

ErrorTrap::~ErrorTrap() {
    end();
}

void ErrorTrap::end() noexcept {
    if (!active_) {
        return;
    }
    active_ = false;
    std::lock_guard lock(gMutex);
    gTraps.erase(std::remove(gTraps.begin(), gTraps.end(), this), gTraps.end());
}

bool ErrorTrap::finish() noexcept {
    // A lost connection answers nothing more: its requests count as failed.
    const bool lost = displayLost(display_);
    if (active_ && !lost) {
        XSync(display_, False);
    }
    end();
    std::lock_guard lock(gMutex);
    return errorCode_ == 0 && !lost;
}

int ErrorTrap::errorCode() const noexcept {
    std::lock_guard lock(gMutex);
    return errorCode_;
}

bool ErrorTrap::dispatch(::Display* display, const ::XErrorEvent& event) noexcept {
    std::lock_guard lock(gMutex);
    ErrorTrap* chosen = nullptr;
    const auto self = std::this_thread::get_id();
    for (auto it = gTraps.rbegin(); it != gTraps.rend(); ++it) {
        ErrorTrap* trap = *it;
        // Serials grow without bound in practice (64-bit); a request older than the trap is not
        // its own.
        if (trap->display_ != display || event.serial < trap->firstSerial_) {
            continue;
        }
        if (trap->thread_ == self) {
            chosen = trap;
            break;
        }
        if (chosen == nullptr) {
            chosen = trap;
        }
    }
    if (chosen == nullptr) {
        return false;
    }
    if (chosen->errorCode_ == 0) {
        chosen->errorCode_ = event.error_code;
    }
    return true;
}

}  // namespace kinvo::x11
