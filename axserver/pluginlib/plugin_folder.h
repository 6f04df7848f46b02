// The plug-in folder: which library files a host tries to load, in which order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The folder the plug-ins live in: moduleDir + "/Plugins".
std::string pluginFolder(std::string_view moduleDir);

// The names (without folder) of the regular files in `folder` that begin with `prefix` and end
// with ".so", both compared without regard to letter case, sorted by name the same way (ties in
// byte order). Empty when the folder cannot be read. Main thread.
std::vector<std::string> findPluginFiles(const std::string& folder, std::string_view prefix);

}  // namespace vexa
