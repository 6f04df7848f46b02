// The streaming player component's exports.
#include "controls/player/player_library.h"
#include "controls/real_player/kind.h"

extern "C" [[gnu::visibility("default")]] kinvo::component::MediaPlayer* KinvoCreateMediaPlayer(
    const char* classId, std::uint32_t abiVersion) {
    return kinvo::controls::createPlayer(kinvo::controls::kStreamingPlayerKind,
                                         reinterpret_cast<const void*>(&KinvoCreateMediaPlayer),
                                         classId, abiVersion);
}

extern "C" [[gnu::visibility("default")]] std::int32_t KinvoProbe(const char* progId,
                                                                  const char* member, char* text,
                                                                  std::int32_t size) {
    return kinvo::controls::answerProbe(kinvo::controls::kStreamingPlayerKind,
                                        reinterpret_cast<const void*>(&KinvoProbe), progId, member,
                                        text, size);
}
