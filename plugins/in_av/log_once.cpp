#include "plugins/in_av/log_once.h"

#include <mutex>

#include "lib/ffmpeg/log_level.h"

namespace kinvo::in_av {

namespace {
std::once_flag applied;
}  // namespace

void applyLogLevelOnce() noexcept {
    try {
        std::call_once(applied, kinvo::ffmpeg::applyLogLevelFromEnvironment);
    } catch (...) {  // std::system_error when no lock can be had: the level stays as it is
    }
}

}  // namespace kinvo::in_av
