#include "controls/quicktime/kind.h"

#include <filesystem>

namespace kinvo::controls {

namespace {

// "1" when the movie runtime and its input plug-in are in the program folder, else "0".
std::string movieRuntimeAvailable(const std::string& programFolder) {
    std::error_code error;
    const std::filesystem::path folder(programFolder);
    bool present = std::filesystem::is_regular_file(folder / "QuickTime.qts", error) &&
                   std::filesystem::is_regular_file(folder / "Plugins" / "in_mova.so", error);
    return present ? "1" : "0";
}

bool controllerShown(std::string_view value) {
    return isTrue(value);
}

}  // namespace

const PlayerKind kMoviePlayerKind{
    "02BF25D5-8C17-4B23-BC80-D3488ABDDC6B",
    "QuickTimeCheckObject.QuickTimeCheck.1",
    "IsQuickTimeAvailable",
    &movieRuntimeAvailable,
    "src",
    "autoplay",
    true,
    "controller",
    &controllerShown,
    nullptr,
};

}  // namespace kinvo::controls
