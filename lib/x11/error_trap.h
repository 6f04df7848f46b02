#pragma once
// A scoped catch of X protocol errors. Xlib reports errors to one process-wide handler; the
// platform owns it when it installs one. A trap therefore installs its own handler only when the
// current one is Xlib's default, and otherwise expects the owner's handler to pass errors on
// through ErrorTrap::dispatch.
//
// Contract: a trap lives on one thread, on one display, between its construction and finish (or
// its destruction). Errors of requests made on that display after construction land in the
// newest trap of the thread that made them when that thread has one, else in the newest trap on
// the display. finish() flushes and waits for the server (XSync) and answers whether the server
// reported no error. Nothing throws. The handler a trap installs stays for the life of the
// process; errors that no trap takes go on to Xlib's default handler, as without it.

#include <X11/Xlib.h>

#include <thread>

namespace kinvo::x11 {

class ErrorTrap {
  public:
    explicit ErrorTrap(::Display* display) noexcept;
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // XSync, then ends the trap: true when no error was reported since construction.
    bool finish() noexcept;
    // The first error's code (0: none so far, as far as the client has read).
    int errorCode() const noexcept;

    // For a handler installed by someone else: hands the error to a trap; true when one took it.
    static bool dispatch(::Display* display, const ::XErrorEvent& event) noexcept;

  private:
    void end() noexcept;

    ::Display* display_;
    unsigned long firstSerial_;
    std::thread::id thread_;
    int errorCode_ = 0;  // guarded by the registry's mutex (error_trap.cpp)
    bool active_ = true;
};

}  // namespace kinvo::x11
