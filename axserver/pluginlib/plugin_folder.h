// The plug-in folder: which library files a host tries to load, in which order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The folder the plug-ins live in: moduleDir + "/Plugins".
std::string pluginFolder(std::string_view moduleDir);

// The names (without folder) of the files in `folder` matching `prefix` + "*.so" without regard
// to letter case, in the platform's search order (by name, without regard to case). Empty when
// the folder cannot be read.
std::vector<std::string> findPluginFiles(const std::string& folder, std::string_view prefix);

}  // namespace vexa
