#include "lib/curl/global.h"

#include <curl/curl.h>

#include <mutex>
#include <utility>

namespace kinvo::curl {

namespace {

std::mutex& globalMutex() {
    static std::mutex mutex;
    return mutex;
}
int users = 0;  // guarded by globalMutex()

}  // namespace

Global::Global() noexcept {
    std::lock_guard lock(globalMutex());
    if (users == 0 && curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        return;
    }
    ++users;
    ok_ = true;
}

Global::Global(Global&& other) noexcept : ok_(std::exchange(other.ok_, false)) {}

Global& Global::operator=(Global&& other) noexcept {
    if (this != &other) {
        release();
        ok_ = std::exchange(other.ok_, false);
    }
    return *this;
}

Global::~Global() {
    release();
}

void Global::release() noexcept {
    if (!std::exchange(ok_, false)) {
        return;
    }
    std::lock_guard lock(globalMutex());
    if (--users == 0) {
        curl_global_cleanup();
    }
}

}  // namespace kinvo::curl
