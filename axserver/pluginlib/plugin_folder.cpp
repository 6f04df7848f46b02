#include "axserver/pluginlib/plugin_folder.h"

#include "platform/file_search.h"

namespace vexa {

std::string pluginFolder(std::string_view moduleDir) {
    return std::string(moduleDir) + "/Plugins";
}

std::vector<std::string> findPluginFiles(const std::string& folder, std::string_view prefix) {
    std::vector<std::string> names;
    for (win::FoundFile& found : win::findFiles(folder, std::string(prefix) + "*.so")) {
        if (!found.isFolder) {
            names.push_back(std::move(found.name));
        }
    }
    return names;
}

}  // namespace vexa
