#include "controls/player/player_library.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/engine/program_folder.h"
#include "controls/player/media_player.h"

namespace kinvo::controls {

component::MediaPlayer* createPlayer(const PlayerKind& kind, const void* ownSymbol,
                                     const char* classId, std::uint32_t abiVersion) noexcept {
    if (abiVersion != component::kAbiVersion || classId == nullptr ||
        !equalsNoCase(classId, kind.classId)) {
        return nullptr;
    }
    try {
        return new MediaPlayerObject(kind, programFolderOf(ownSymbol) + "/vexahost");
    } catch (...) {
        return nullptr;
    }
}

std::int32_t answerProbe(const PlayerKind& kind, const void* ownSymbol, const char* progId,
                         const char* member, char* text, std::int32_t size) noexcept {
    if (progId == nullptr || !equalsNoCase(progId, kind.progId)) {
        return -1;
    }
    try {
        if (member == nullptr || !equalsNoCase(member, kind.probeMember)) {
            return 0;
        }
        std::string answer = kind.probe(programFolderOf(ownSymbol));
        if (answer.empty()) {
            return 0;
        }
        if (text != nullptr && size > 0) {
            std::size_t n = std::min(answer.size(), static_cast<std::size_t>(size - 1));
            std::memcpy(text, answer.data(), n);
            text[n] = '\0';
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace kinvo::controls
