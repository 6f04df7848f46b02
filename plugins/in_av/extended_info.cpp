#include "plugins/in_av/extended_info.h"

#include <algorithm>
#include "plugins/in_av/addresses.h"

#include "plugins/in_av/media_info.h"

namespace kinvo::in_av {

namespace {

std::optional<std::string> addressValue(const std::string& address, std::string_view key) {
    if (key == "title") {
        return address;
    }
    if (key == "length") {
        return "-1";
    }
    if (key == "type") {
        return "0";
    }
    return std::nullopt;
}

std::optional<std::string> fileValue(const MediaInfo& info, std::string_view key) {
    if (key == "title") {
        return info.title;
    }
    if (key == "artist") {
        return info.artist;
    }
    if (key == "album") {
        return info.album;
    }
    if (key == "genre") {
        return info.genre;
    }
    if (key == "year") {
        return info.year;
    }
    if (key == "comment") {
        return info.comment;
    }
    if (key == "length") {
        return std::to_string(info.lengthMs);
    }
    if (key == "bitrate") {
        return std::to_string(info.bitrateKbps);
    }
    if (key == "type") {
        return info.hasVideo ? "1" : "0";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> extendedInfo(const std::string& file, std::string_view key) {
    if (isNetworkAddress(file)) {
        return addressValue(file, key);
    }
    static constexpr std::string_view kKeys[] = {"title",   "artist", "album",   "genre", "year",
                                                 "comment", "length", "bitrate", "type"};
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
        return std::nullopt;  // unknown keys do not open the file
    }
    const std::optional<MediaInfo> info = readMediaInfo(file);
    return info ? fileValue(*info, key) : std::nullopt;
}

}  // namespace kinvo::in_av
