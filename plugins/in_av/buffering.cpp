#include "plugins/in_av/buffering.h"

#include <algorithm>
#include <charconv>

namespace kinvo::in_av {

std::optional<Buffering> parseBuffering(std::string_view text) {
    int32_t values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (i == 2)) {
            return std::nullopt;
        }
        const std::string_view item = text.substr(0, comma);
        const auto [end, error] =
            std::from_chars(item.data(), item.data() + item.size(), values[i]);
        if (error != std::errc() || end != item.data() + item.size() || values[i] <= 0) {
            return std::nullopt;
        }
        text.remove_prefix(i == 2 ? text.size() : comma + 1);
    }
    Buffering buffering;
    buffering.totalMs = values[0];
    buffering.prebufferMs = std::min(values[1], values[0]);
    buffering.rebufferMs = std::min(values[2], values[0]);
    return buffering;
}

}  // namespace kinvo::in_av
