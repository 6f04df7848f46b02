#pragma once
// What the container of a local file says about it, read without decoding: the tags, the length,
// the bit rate and whether it holds a picture stream other than cover art. Opens the file with
// FFmpeg on the calling thread (the host's main thread: local files only, which answer fast).
// Error policy: an unreadable file answers an empty optional; never throws.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct AVFormatContext;

namespace kinvo::in_av {

struct MediaInfo {
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    std::string year;
    std::string comment;
    int64_t lengthMs = -1;  // -1 unknown
    int64_t bitrateKbps = 0;
    bool hasVideo = false;
};

std::optional<MediaInfo> readMediaInfo(const std::string& path) noexcept;
// The same from a container already open with its stream information read.
MediaInfo mediaInfoOf(const AVFormatContext& format);

// "Artist - Title" when both are known, else the title, else the file name without folder and
// extension.
std::string displayTitle(const MediaInfo& info, std::string_view path);

// The file name without folder and extension.
std::string fileStem(std::string_view path);

}  // namespace kinvo::in_av
