#include "controls/engine/program_folder.h"

#include <dlfcn.h>

#include <filesystem>

namespace kinvo::controls {

std::string folderOfObject(const void* symbol) {
    Dl_info info{};
    if (::dladdr(symbol, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
    if (error) {
        return {};
    }
    return path.lexically_normal().parent_path().string();
}

std::string programFolderOf(const void* symbol) {
    std::string folder = folderOfObject(symbol);
    if (folder.empty()) {
        return {};
    }
    return std::filesystem::path(folder).parent_path().string();
}

}  // namespace kinvo::controls
