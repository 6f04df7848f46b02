#pragma once
// Owner of one libcurl easy handle: cleaned up once, when it goes. Move-only; never throws.
// Make it only while a kinvo::curl::Global is alive (global.h). A handle belongs to one thread
// at a time; libcurl's options are set on get() directly.

#include <curl/curl.h>

namespace kinvo::curl {

class Easy {
  public:
    // A fresh handle; empty (false) when libcurl could not make one.
    Easy() noexcept;
    Easy(Easy&& other) noexcept;
    Easy& operator=(Easy&& other) noexcept;
    Easy(const Easy&) = delete;
    Easy& operator=(const Easy&) = delete;
    ~Easy();

    CURL* get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

  private:
    CURL* handle_ = nullptr;
};

}  // namespace kinvo::curl
