#include "axserver/core/program_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace vexa {

std::string moduleDirOf(std::string_view executablePath) {
    size_t cut = executablePath.find_last_of("/\\");
    if (cut == std::string_view::npos) {
        return {};
    }
    return std::string(executablePath.substr(0, cut));
}

ProgramPaths programPaths(std::string_view executablePath, const std::string& runtimeDir,
                          const std::function<bool(const std::string&)>& writable) {
    ProgramPaths paths;
    paths.moduleDir = moduleDirOf(executablePath);
    paths.downloadTempFile = paths.moduleDir + "tmp";
    size_t cut = paths.downloadTempFile.find_last_of("/\\");
    std::string folder =
        cut == std::string::npos ? std::string() : paths.downloadTempFile.substr(0, cut);
    // A program folder directly below the root ("/opt" gives "/opttmp") puts the file in "/".
    if (cut == 0) {
        folder = "/";
    }
    if (!writable(folder) && !runtimeDir.empty()) {
        std::string name = cut == std::string::npos ? paths.downloadTempFile
                                                    : paths.downloadTempFile.substr(cut + 1);
        paths.downloadTempFile = runtimeDir + "/" + name;
    }
    return paths;
}

std::string userRuntimeDir() {
    struct stat st {};
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR");
        xdg != nullptr && *xdg != '\0' && ::stat(xdg, &st) == 0 && S_ISDIR(st.st_mode)) {
        return xdg;
    }
    std::string dir = "/tmp/vexahost-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 0077) != 0) {
        return {};
    }
    return dir;
}

bool folderWritable(const std::string& folder) {
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace vexa
