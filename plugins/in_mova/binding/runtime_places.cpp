#include "plugins/in_mova/binding/runtime_places.h"

#include <link.h>
#include <strings.h>
#include <unistd.h>

#include <array>

#include <qtml/qtml.h>
#include "plugins/in_mova/binding/host_registry.h"

namespace kinvo::in_mova {

namespace {

constexpr uint32_t kFolderValueBytes = 260;

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int findLoadedRuntime(dl_phdr_info* info, size_t, void* data) {
    if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') {
        return 0;
    }
    const std::string path = info->dlpi_name;
    if (strcasecmp(fileNameOf(path).c_str(), QTML_LIBRARY_NAME) != 0) {
        return 0;
    }
    *static_cast<std::string*>(data) = path;
    return 1;
}

std::string programFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return {};
    }
    const std::string exe(path.data(), static_cast<size_t>(length));
    const auto slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

void addFolder(std::vector<std::string>& out, const std::optional<std::string>& folder) {
    if (!folder || folder->empty()) {
        return;
    }
    const char last = folder->back();
    out.push_back(*folder + (last == '/' || last == '\\' ? "" : "/") + QTML_LIBRARY_NAME);
}

}  // namespace

std::vector<std::string> runtimeCandidates(const RuntimePlaces& places) {
    std::vector<std::string> out;
    if (!places.loadedPath.empty()) {
        out.push_back(places.loadedPath);
    }
    if (!places.programFolder.empty()) {
        out.push_back(places.programFolder + QTML_LIBRARY_NAME);
    }
    addFolder(out, places.machineFolder);
    addFolder(out, places.userFolder);
    out.push_back(places.systemFolder + "/" + QTML_LIBRARY_NAME);
    return out;
}

RuntimePlaces discoverRuntimePlaces() noexcept {
    RuntimePlaces places;
    try {
        dl_iterate_phdr(findLoadedRuntime, &places.loadedPath);
        places.programFolder = programFolder();
        places.machineFolder = readRegistryText(SONARI_HKEY_LOCAL_MACHINE, kRuntimeKey,
                                                kRuntimeFolderValue, kFolderValueBytes);
        places.userFolder = readRegistryText(SONARI_HKEY_CURRENT_USER, kRuntimeKey,
                                             kRuntimeFolderValue, kFolderValueBytes);
    } catch (...) {
        // What was found so far is used.
    }
    return places;
}

SharedLibrary loadRuntime(const RuntimePlaces& places) noexcept {
    try {
        for (const auto& path : runtimeCandidates(places)) {
            if (auto library = SharedLibrary::open(path)) {
                return library;
            }
        }
    } catch (...) {
    }
    return {};
}

}  // namespace kinvo::in_mova
