#include "axserver/convert/config_file.h"

namespace vexa {

std::string encoderConfigFile(std::string_view moduleDir) {
    std::string path(moduleDir);
    if (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path + "/vexa.ini";
}

}  // namespace vexa
