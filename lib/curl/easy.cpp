#include "lib/curl/easy.h"

#include <utility>

namespace kinvo::curl {

Easy::Easy() noexcept : handle_(curl_easy_init()) {}

Easy::Easy(Easy&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Easy& Easy::operator=(Easy&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) {
            curl_easy_cleanup(handle_);
        }
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

Easy::~Easy() {
    if (handle_ != nullptr) {
        curl_easy_cleanup(handle_);
    }
}

}  // namespace kinvo::curl
