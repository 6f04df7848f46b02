#include "platform/library.h"

#include "platform/debug_trace.h"
#include "platform/file_search.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/reg_hive.h"

#include <dlfcn.h>
#include <link.h>

#include <utility>

namespace win {
namespace {

std::string loadedPath(void* handle, const std::string& fallback) {
    link_map* map = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr &&
        map->l_name[0] != '\0') {
        return map->l_name;
    }
    return fallback;
}

// The file in `folder` whose name equals `name` without regard to case.
std::optional<std::string> findInFolder(const std::string& folder, std::string_view name) {
    const std::string exact = folder + "/" + std::string(name);
    if (fileExists(exact)) {
        return exact;
    }
    for (const FoundFile& file : findFiles(folder, name)) {
        if (!file.isFolder && equalsNoCase(file.name, name)) {
            return folder + "/" + file.name;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string libraryFileName(std::string_view name) {
    if (name.size() >= 4 && equalsNoCase(name.substr(name.size() - 4), ".dll")) {
        return std::string(name.substr(0, name.size() - 4)) + ".so";
    }
    return std::string(name);
}

std::optional<Library> Library::load(std::string_view name) {
    std::string file = libraryFileName(name);
    for (char& c : file) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::optional<std::string> target;
    if (file.find('/') != std::string::npos) {
        target = findInFolder(folderOf(file).empty() ? "/" : folderOf(file), fileNameOf(file));
    } else {
        target = findInFolder(folderOf(ownExecutablePath()), file);
        if (!target) {
            target = file;  // the loader's own search
        }
    }
    if (!target) {
        debugTrace("loadLibrary: no file for " + std::string(name) + "\n");
        return std::nullopt;
    }
    void* handle = ::dlopen(target->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        debugTrace("loadLibrary: " + std::string(why != nullptr ? why : *target) + "\n");
        return std::nullopt;
    }
    return Library(handle, loadedPath(handle, *target));
}

std::optional<Library> Library::findLoaded(std::string_view name) {
    struct Search {
        std::string wanted;
        std::string found;
    } search{libraryFileName(name), {}};
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name != nullptr &&
                equalsNoCase(fileNameOf(info->dlpi_name), s->wanted)) {
                s->found = info->dlpi_name;
                return 1;
            }
            return 0;
        },
        &search);
    if (search.found.empty()) {
        return std::nullopt;
    }
    void* handle = ::dlopen(search.found.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return std::nullopt;
    }
    return Library(handle, loadedPath(handle, search.found));
}

Library::Library(Library&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

Library& Library::operator=(Library&& other) noexcept {
    if (this != &other) {
        free();
        handle_ = std::exchange(other.handle_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

void* Library::symbol(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

void Library::free() noexcept {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

}  // namespace win
