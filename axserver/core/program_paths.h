// Where vexahost keeps its files: moduleDir (the executable's folder) and downloadTempFile.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vexa {

struct ProgramPaths {
    std::string moduleDir;         // the executable's folder, without a trailing separator
    std::string downloadTempFile;  // moduleDir + "tmp", or its fallback (below)
};

// The folder of a path: cut at its last "/" or "\" (the separator removed); "" without one.
std::string moduleDirOf(std::string_view executablePath);

// moduleDir + "tmp", beside the program folder. When the folder that would hold that file is
// not writable (an installed program), the file goes to `runtimeDir` under the same file name.
// `writable` answers whether a folder accepts new files ("" stands for the current folder).
ProgramPaths programPaths(std::string_view executablePath, const std::string& runtimeDir,
                          const std::function<bool(const std::string&)>& writable);

// The per-user runtime folder for files that cannot live beside the program:
// $XDG_RUNTIME_DIR when it is an existing folder, else /tmp/vexahost-<uid> (created 0700, used
// only when it is ours). "" when neither is usable.
std::string userRuntimeDir();

// Whether the calling user may create files in a folder ("" = the current folder).
bool folderWritable(const std::string& folder);

}  // namespace vexa
