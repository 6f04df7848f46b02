#pragma once
// A library loaded with dlopen: move-only owner of the handle (dlclose when it goes).
// Any thread. Failures answer an empty object or null; nothing throws.

#include <string>

namespace kinvo::in_mova {

class SharedLibrary {
  public:
    SharedLibrary() noexcept = default;
    // Loads path with RTLD_NOW | RTLD_LOCAL; empty when it cannot be loaded.
    static SharedLibrary open(const std::string& path) noexcept;

    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // The address of an exported name, null when absent.
    void* symbol(const char* name) const noexcept;
    // The path it was loaded from ("" when empty).
    const std::string& path() const noexcept { return path_; }

  private:
    void* handle_ = nullptr;
    std::string path_;
};

}  // namespace kinvo::in_mova
