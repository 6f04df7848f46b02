#include "plugins/in_av/media_info.h"

#include "lib/ffmpeg/handles.h"

namespace kinvo::in_av {

namespace {

// The first of `keys` found in the container's tags, else in the first audio stream's (Ogg
// keeps its comments there).
std::string tag(const AVFormatContext& format, const AVStream* audio,
                std::initializer_list<const char*> keys) {
    for (const AVDictionary* tags :
         {static_cast<const AVDictionary*>(format.metadata),
          audio ? static_cast<const AVDictionary*>(audio->metadata) : nullptr}) {
        for (const char* key : keys) {
            const AVDictionaryEntry* entry = av_dict_get(tags, key, nullptr, 0);
            if (entry != nullptr && entry->value != nullptr && *entry->value != '\0') {
                return entry->value;
            }
        }
    }
    return {};
}

}  // namespace

MediaInfo mediaInfoOf(const AVFormatContext& format) {
    MediaInfo info;
    const AVStream* audio = nullptr;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream* stream = format.streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_AUDIO && audio == nullptr) {
            audio = stream;
        }
        if (type == AVMEDIA_TYPE_VIDEO &&
            (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
            info.hasVideo = true;
        }
    }
    info.title = tag(format, audio, {"title"});
    info.artist = tag(format, audio, {"artist", "album_artist", "author"});
    info.album = tag(format, audio, {"album"});
    info.genre = tag(format, audio, {"genre"});
    info.year = tag(format, audio, {"date", "year"});
    info.comment = tag(format, audio, {"comment", "description"});
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0) {
        info.lengthMs = format.duration / (AV_TIME_BASE / 1000);
    }
    // The sound's own rate when the stream says; else the container's (tags included).
    int64_t bitrate = audio != nullptr ? audio->codecpar->bit_rate : 0;
    if (bitrate <= 0) {
        bitrate = format.bit_rate;
    }
    info.bitrateKbps = bitrate > 0 ? bitrate / 1000 : 0;
    return info;
}

std::optional<MediaInfo> readMediaInfo(const std::string& path) noexcept {
    try {
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
            return std::nullopt;
        }
        ffmpeg::FormatContext format(raw);
        if (avformat_find_stream_info(format.get(), nullptr) < 0) {
            return std::nullopt;
        }
        return mediaInfoOf(*format);
    } catch (...) {
        return std::nullopt;
    }
}

std::string fileStem(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    if (slash != std::string_view::npos) {
        path.remove_prefix(slash + 1);
    }
    const size_t dot = path.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) {
        path = path.substr(0, dot);
    }
    return std::string(path);
}

std::string displayTitle(const MediaInfo& info, std::string_view path) {
    if (!info.artist.empty() && !info.title.empty()) {
        return info.artist + " - " + info.title;
    }
    if (!info.title.empty()) {
        return info.title;
    }
    return fileStem(path);
}

}  // namespace kinvo::in_av
