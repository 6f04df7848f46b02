#pragma once
// Where the runtime library "QuickTime.qts" is looked for, in this order (the first that loads
// wins):
//   1. the copy already loaded in the process (by file name, letter case ignored);
//   2. the host program's own folder;
//   3. the folder in the text value "QuickTime.qts folder" of the runtime's key, local machine;
//   4. the same value under the current user;
//   5. the system folder, /usr/lib/sonari.
// runtimeCandidates is pure; discoverRuntimePlaces and loadRuntime touch the process (any
// thread). Nothing throws: failures answer empty places or an empty library.

#include <optional>
#include <string>
#include <vector>

#include "plugins/in_mova/binding/shared_library.h"

namespace kinvo::in_mova {

struct RuntimePlaces {
    std::string loadedPath;                    // full path of a copy loaded already; "" none
    std::string programFolder;                 // up to and with its last "/"; "" unknown
    std::optional<std::string> machineFolder;  // the registry value, local machine
    std::optional<std::string> userFolder;     // the registry value, current user
    std::string systemFolder = "/usr/lib/sonari";
};

// The full paths to try, in order. A registry folder gets a "/" unless it ends in "/" or "\";
// an empty one is skipped.
std::vector<std::string> runtimeCandidates(const RuntimePlaces& places);

// The places of this process: dl_iterate_phdr, /proc/self/exe and the host's registry.
RuntimePlaces discoverRuntimePlaces() noexcept;

// The first candidate that loads (RTLD_NOW | RTLD_LOCAL); empty when none does.
SharedLibrary loadRuntime(const RuntimePlaces& places) noexcept;

// The registry value naming the folder (at most 260 bytes).
inline constexpr const char* kRuntimeFolderValue = "QuickTime.qts folder";

}  // namespace kinvo::in_mova
