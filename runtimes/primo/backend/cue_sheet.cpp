#include "runtimes/primo/backend/cue_sheet.h"

#include <cstdio>

namespace primo {

std::string cueTime(uint64_t sectors) {
    char text[32];
    std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu",
                  static_cast<unsigned long long>(sectors / (60 * kSectorsPerSecond)),
                  static_cast<unsigned long long>(sectors / kSectorsPerSecond % 60),
                  static_cast<unsigned long long>(sectors % kSectorsPerSecond));
    return text;
}

std::string cueSheet(const std::vector<TrackFile>& tracks, const std::string& binName) {
    std::string sheet = "FILE \"" + binName + "\" BINARY\n";
    uint64_t at = 0;
    for (size_t i = 0; i < tracks.size(); ++i) {
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", i + 1);
        sheet += std::string("  TRACK ") + number + " AUDIO\n";
        if (tracks[i].pauseSectors > 0) {
            sheet += "    INDEX 00 " + cueTime(at) + "\n";
            at += tracks[i].pauseSectors;
        }
        sheet += "    INDEX 01 " + cueTime(at) + "\n";
        at += tracks[i].sectors();
    }
    return sheet;
}

uint64_t totalSectors(const std::vector<TrackFile>& tracks) {
    uint64_t total = 0;
    for (const TrackFile& track : tracks) {
        total += track.pauseSectors + track.sectors();
    }
    return total;
}

}  // namespace primo
