// The media player component's exports.
#include "controls/media_player/kind.h"
#include "controls/player/player_library.h"

extern "C" [[gnu::visibility("default")]] kinvo::component::MediaPlayer* KinvoCreateMediaPlayer(
    const char* classId, std::uint32_t abiVersion) {
    return kinvo::controls::createPlayer(kinvo::controls::kMediaPlayerKind,
                                         reinterpret_cast<const void*>(&KinvoCreateMediaPlayer),
                                         classId, abiVersion);
}

extern "C" [[gnu::visibility("default")]] std::int32_t KinvoProbe(const char* progId,
                                                                  const char* member, char* text,
                                                                  std::int32_t size) {
    return kinvo::controls::answerProbe(kinvo::controls::kMediaPlayerKind,
                                        reinterpret_cast<const void*>(&KinvoProbe), progId, member,
                                        text, size);
}
