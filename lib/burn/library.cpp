#include "lib/burn/library.h"

#include <libburn/libburn.h>

#include <mutex>

using namespace ::burn;  // libburn's C interface

namespace kinvo::burn {

namespace {

std::mutex usersMutex;
int users = 0;  // guarded by usersMutex

}  // namespace

Library::Library() noexcept {
    std::lock_guard guard(usersMutex);
    if (users == 0) {
        if (burn_initialize() != 1) {
            return;
        }
        // Mode 1: the system's default reaction on every signal.
        burn_set_signal_handling(nullptr, nullptr, 1);
        char queue[] = "NEVER";
        char print[] = "NEVER";
        char id[] = "libburn: ";
        burn_msgs_set_severities(queue, print, id);
    }
    ++users;
    ok_ = true;
}

Library::Library(Library&& other) noexcept : ok_(other.ok_) {
    other.ok_ = false;
}

Library& Library::operator=(Library&& other) noexcept {
    if (this != &other) {
        release();
        ok_ = other.ok_;
        other.ok_ = false;
    }
    return *this;
}

Library::~Library() {
    release();
}

void Library::release() noexcept {
    if (!ok_) {
        return;
    }
    ok_ = false;
    std::lock_guard guard(usersMutex);
    if (--users == 0) {
        burn_finish();
    }
}

}  // namespace kinvo::burn
