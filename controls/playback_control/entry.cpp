// The library's one export: a new playback control whose server is the program folder's
// vexahost.
#include <new>
#include <string>

#include "controls/abi/component.h"
#include "controls/engine/program_folder.h"
#include "controls/playback_control/playback_control.h"

extern "C" [[gnu::visibility("default")]] kinvo::component::PlaybackControl*
KinvoCreatePlaybackControl(std::uint32_t abiVersion) {
    if (abiVersion != kinvo::component::kAbiVersion) {
        return nullptr;
    }
    try {
        std::string folder = kinvo::controls::programFolderOf(
            reinterpret_cast<const void*>(&KinvoCreatePlaybackControl));
        return new kinvo::controls::PlaybackControlObject(folder + "/vexahost");
    } catch (...) {
        return nullptr;
    }
}
