#pragma once
// Names the plug-in is given: local files or network addresses. Pure functions of their
// arguments; any thread; never throw (they allocate only small strings).

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kinvo::in_av {

// The input protocols of the FFmpeg this plug-in runs with (avio_enum_protocols), and "rtsp"
// when it has that demuxer.
std::set<std::string> inputProtocols();

// True for "<scheme>://..." with a scheme other than "file".
bool isNetworkAddress(std::string_view name);

// The extension of the last path element, before any "?", in lower case ("" when none).
std::string lowerExtension(std::string_view name);

// True for an http, https, mms, rtsp or rtmp address whose protocol `protocols` holds (mms
// through mmsh or mmst), unless its extension is mov, qt or m4p.
bool claimsAddress(std::string_view name, const std::set<std::string>& protocols);

// The addresses to try, in order, for a network name: itself, but "mms://" becomes "mmsh://"
// then "mmst://" (those `protocols` holds).
std::vector<std::string> openCandidates(std::string_view name,
                                        const std::set<std::string>& protocols);

}  // namespace kinvo::in_av
