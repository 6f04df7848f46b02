#pragma once
// The two entries of a player component library, for the library's one kind: each library's
// entry file forwards KinvoCreateMediaPlayer and KinvoProbe here with its record and the address
// of one of its own symbols (which finds the program folder). Any thread; nothing throws.
#include <cstdint>

#include "controls/abi/component.h"
#include "controls/player/player_kind.h"

namespace kinvo::controls {

component::MediaPlayer* createPlayer(const PlayerKind& kind, const void* ownSymbol,
                                     const char* classId, std::uint32_t abiVersion) noexcept;
std::int32_t answerProbe(const PlayerKind& kind, const void* ownSymbol, const char* progId,
                         const char* member, char* text, std::int32_t size) noexcept;

}  // namespace kinvo::controls
