#pragma once
// The network buffering of the plug-in, set through the extended-information key
// "setHttpConfigValues" with the text "<total>,<prebuffer>,<rebuffer>" in milliseconds
// (the host's start-up item gives "16000,2750,3250"):
//   total      the most compressed audio the decode thread keeps read ahead of the decoder;
//   prebuffer  what it reads before playback of a stream starts;
//   rebuffer   what it reads again after the read-ahead ran dry (an underrun).
// Pure functions; never throw.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kinvo::in_av {

struct Buffering {
    int32_t totalMs = 16000;
    int32_t prebufferMs = 2750;
    int32_t rebufferMs = 3250;
};

// Three positive decimal numbers separated by commas; prebuffer and rebuffer are capped at the
// total. Empty when the text is anything else.
std::optional<Buffering> parseBuffering(std::string_view text);

}  // namespace kinvo::in_av
