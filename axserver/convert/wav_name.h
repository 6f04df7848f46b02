#pragma once
// The name a "WAV " conversion writes to (outside burn mode): the destination's extension, when
// it has at least three characters, becomes "WAV" and the name ends there ("song.mp3" ->
// "song.WAV", "song.flac" -> "song.WAV"); shorter extensions and names without one are kept.
// Only the file-name part after the last '/' is looked at, so a dotted folder ("/music.d/song")
// never cuts the name. Pure; any thread.
#include <string>
#include <string_view>

namespace vexa {

std::string wavDestinationName(std::string_view destination);

}  // namespace vexa
