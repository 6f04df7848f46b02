#include "lib/ffmpeg/error.h"

extern "C" {
#include <libavutil/error.h>
}

namespace kinvo::ffmpeg {

std::string errorText(int code) noexcept {
    try {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        if (av_strerror(code, text, sizeof text) == 0) {
            return text;
        }
        return "error " + std::to_string(code);
    } catch (...) {
        return {};
    }
}

}  // namespace kinvo::ffmpeg
