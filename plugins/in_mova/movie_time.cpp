#include "plugins/in_mova/movie_time.h"

#include <algorithm>

namespace kinvo::in_mova {

namespace {

int32_t toMs(int64_t value, int32_t scale) {
    // value x 1000 cannot overflow 64 bits for any value below 2^53.
    const int64_t ms = std::min<int64_t>(value, INT64_MAX / 1000) * 1000 / scale;
    return static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX));
}

}  // namespace

int32_t lengthMs(int64_t duration, int32_t scale) noexcept {
    if (scale <= 0 || duration < 0) {
        return -1;
    }
    return toMs(duration, scale);
}

int32_t positionMs(int64_t value, int32_t scale) noexcept {
    if (scale <= 0 || value < 0) {
        return 0;
    }
    return toMs(value, scale);
}

int64_t seekTarget(int32_t ms, int32_t scale, int64_t rangeEnd) noexcept {
    int64_t target = static_cast<int64_t>(std::max(ms, 0)) * std::max(scale, 0) / 1000;
    if (target > rangeEnd) {
        target = rangeEnd - 1000;
    }
    return std::max<int64_t>(target, 0);
}

}  // namespace kinvo::in_mova
