#include "lib/ffmpeg/log_level.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdlib>
#include <cstring>

namespace kinvo::ffmpeg {

namespace {

struct NamedLevel {
    const char* name;
    int level;
};
constexpr NamedLevel kLevels[] = {
    {"error", AV_LOG_ERROR},     {"warning", AV_LOG_WARNING}, {"info", AV_LOG_INFO},
    {"verbose", AV_LOG_VERBOSE}, {"debug", AV_LOG_DEBUG},     {"trace", AV_LOG_TRACE},
};

int levelOf(const char* value) noexcept {
    for (const NamedLevel& named : kLevels) {
        if (std::strcmp(named.name, value) == 0) {
            return named.level;
        }
    }
    char* end = nullptr;
    const long number = std::strtol(value, &end, 10);
    if (end != value && *end == '\0') {
        return static_cast<int>(number);
    }
    return AV_LOG_INFO;
}

}  // namespace

void applyLogLevelFromEnvironment() noexcept {
    const char* value = std::getenv("KINVO_AV_LOG");
    av_log_set_level(value != nullptr && *value != '\0' ? levelOf(value) : AV_LOG_QUIET);
}

}  // namespace kinvo::ffmpeg
