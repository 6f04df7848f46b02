#include "lib/pulse/sink_volume.h"

#include <pulse/introspect.h>

#include <algorithm>
#include <optional>

namespace kinvo::pulse {

namespace {

constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

struct SinkQuery {
    std::optional<pa_channel_map> map;
};

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user) noexcept {
    if (eol == 0 && info != nullptr) {
        static_cast<SinkQuery*>(user)->map = info->channel_map;
    }
}

struct Outcome {
    bool success = false;
};

void onSuccess(pa_context*, int success, void* user) noexcept {
    static_cast<Outcome*>(user)->success = success != 0;
}

enum class Side { Left, Right, Neither };

Side sideOf(pa_channel_position_t position) {
    switch (position) {
        case PA_CHANNEL_POSITION_FRONT_LEFT:
        case PA_CHANNEL_POSITION_REAR_LEFT:
        case PA_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER:
        case PA_CHANNEL_POSITION_SIDE_LEFT:
        case PA_CHANNEL_POSITION_TOP_FRONT_LEFT:
        case PA_CHANNEL_POSITION_TOP_REAR_LEFT:
            return Side::Left;
        case PA_CHANNEL_POSITION_FRONT_RIGHT:
        case PA_CHANNEL_POSITION_REAR_RIGHT:
        case PA_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER:
        case PA_CHANNEL_POSITION_SIDE_RIGHT:
        case PA_CHANNEL_POSITION_TOP_FRONT_RIGHT:
        case PA_CHANNEL_POSITION_TOP_REAR_RIGHT:
            return Side::Right;
        default:
            return Side::Neither;
    }
}

}  // namespace

Status setDefaultSinkVolume(Connection& connection, pa_volume_t left, pa_volume_t right,
                            Clock::time_point deadline) {
    SinkQuery sink;
    if (const Status s = connection.wait(
            pa_context_get_sink_info_by_name(connection.context(), kDefaultSink, onSinkInfo, &sink),
            deadline);
        s != Status::Ok) {
        return s;
    }
    if (!sink.map) {
        return Status::Failed;
    }
    pa_cvolume volume;
    pa_cvolume_init(&volume);
    volume.channels = sink.map->channels;
    for (unsigned i = 0; i < sink.map->channels; ++i) {
        const Side side = sideOf(sink.map->map[i]);
        volume.values[i] = side == Side::Left    ? left
                           : side == Side::Right ? right
                                                 : std::max(left, right);
    }
    Outcome outcome;
    if (const Status s =
            connection.wait(pa_context_set_sink_volume_by_name(connection.context(), kDefaultSink,
                                                               &volume, onSuccess, &outcome),
                            deadline);
        s != Status::Ok) {
        return s;
    }
    return outcome.success ? Status::Ok : Status::Failed;
}

}  // namespace kinvo::pulse
