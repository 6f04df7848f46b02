#include "plugins/in_mova/binding/shared_library.h"

#include <dlfcn.h>

#include <utility>

namespace kinvo::in_mova {

SharedLibrary SharedLibrary::open(const std::string& path) noexcept {
    SharedLibrary library;
    try {
        library.handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library.handle_ != nullptr) {
            library.path_ = path;
        }
    } catch (...) {
        // Only the path copy can throw; the handle then goes with the object.
    }
    return library;
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
        handle_ = std::exchange(other.handle_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

void* SharedLibrary::symbol(const char* name) const noexcept {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace kinvo::in_mova
