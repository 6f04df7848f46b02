#include "axserver/burn/burn_rules.h"

#include <strings.h>
#include <cstdio>

#include "axserver/burn/texts.h"

namespace vexa {

namespace {

constexpr uint32_t kLeadInSectors = 4000;

}  // namespace

std::string_view burnExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.find_first_of("\\/", dot) != std::string_view::npos) {
        return {};
    }
    return name.substr(dot + 1);
}

bool mayBeBurned(std::string_view name, const std::vector<std::string>& extensions,
                 std::string_view type, int windowsMediaVersion) {
    const std::string extension(burnExtension(name));
    if (extension.empty()) {
        return false;
    }
    bool declared = false;
    for (const std::string& known : extensions) {
        declared = declared || strcasecmp(known.c_str(), extension.c_str()) == 0;
    }
    return declared && (type.empty() || type[0] == '0') &&
           (windowsMediaVersion >= 9 || strcasecmp(extension.c_str(), "wma") != 0);
}

std::string burnTitle(char drive, int32_t percent, int32_t tracks, int32_t speed) {
    char text[128];
    const char upper = drive >= 'a' && drive <= 'z' ? static_cast<char>(drive - 'a' + 'A') : drive;
    std::snprintf(text, sizeof text, burn_texts::kTitle, upper, percent, tracks,
                  tracks <= 1 ? burn_texts::kTrack : burn_texts::kTracks, speed);
    return text;
}

uint32_t burnWriteFlags(int32_t testWrite, int32_t underrunProof, int32_t discAtOnce) {
    return (testWrite != 0 ? kFlagTestWrite : 0) |
           (discAtOnce != 0 ? kFlagDiscAtOnce : kFlagTrackAtOnce) |
           (underrunProof != 0 ? kFlagUnderrunProof : 0);
}

uint32_t burnSpeed(int32_t speed, uint32_t unitFlags) {
    if (speed != 0) {
        return static_cast<uint32_t>(speed);
    }
    return (unitFlags & kUnitChoosesSpeed) != 0 ? kSpeedBest : 0;
}

int32_t burnPercent(uint32_t done, uint32_t total) {
    if (done < kLeadInSectors) {
        return 0;
    }
    return static_cast<int32_t>(uint64_t{done} * 100 / (total == 0 ? 1 : total));
}

int32_t burnedSeconds(uint32_t done) {
    return static_cast<int32_t>(uint64_t{done} * 2048 / 153600);
}

uint32_t burnStatusWord(int32_t burnedSeconds, const std::vector<int32_t>& trackSeconds,
                        int32_t overallPercent, int32_t& trackPercent) {
    trackPercent = 0;
    if (trackSeconds.empty()) {
        return (static_cast<uint32_t>(overallPercent) & 0x7F) << 9;
    }
    size_t index = trackSeconds.size() - 1;
    int64_t start = 0;
    int64_t trackStart = 0;
    for (size_t i = 0; i < trackSeconds.size(); ++i) {
        if (start + trackSeconds[i] > burnedSeconds) {
            index = i;
            trackStart = start;
            break;
        }
        start += trackSeconds[i];
        trackStart = start - trackSeconds[i];
    }
    const int64_t length = trackSeconds[index];
    trackPercent =
        length == 0 ? 0 : static_cast<int32_t>((burnedSeconds - trackStart) * 100 / length);
    return (static_cast<uint32_t>(overallPercent) & 0x7F) << 9 |
           ((static_cast<uint32_t>(index) | 0x100) & 0x1FF);
}

}  // namespace vexa
