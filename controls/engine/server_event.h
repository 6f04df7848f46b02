#pragma once
// What a playback server session reports to its owner: the server's events, statuses and
// metadata as they arrive, and the answers to commands its owner's jobs report.
#include <cstdint>
#include <string>

namespace kinvo::controls {

struct ServerEvent {
    enum class Kind {
        kEvent,     // SRV_EVENT: code, value = lParam
        kStatus,    // SRV_STATUS: code, value
        kMetadata,  // SRV_METADATA: text, value = the number sent with it
        kAnswer,    // a job's report: code = the command, value and extra = what the job read
    };
    Kind kind = Kind::kEvent;
    std::int32_t code = 0;
    std::int64_t value = 0;
    std::int64_t extra = 0;
    std::string text;
};

}  // namespace kinvo::controls
