#include "browser/waveout/pulse_wave_out.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace kinvo {

namespace {

struct MainloopFree {
    void operator()(pa_mainloop* loop) const noexcept { pa_mainloop_free(loop); }
};
struct ContextRelease {
    void operator()(pa_context* context) const noexcept {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
struct OperationUnref {
    void operator()(pa_operation* operation) const noexcept { pa_operation_unref(operation); }
};
using Mainloop = std::unique_ptr<pa_mainloop, MainloopFree>;
using Context = std::unique_ptr<pa_context, ContextRelease>;
using Operation = std::unique_ptr<pa_operation, OperationUnref>;

using Clock = std::chrono::steady_clock;

// One connection to the sound server, driven by a private main loop with a deadline.
class Connection {
  public:
    explicit Connection(Clock::time_point deadline) : deadline_(deadline) {}

    bool open() {
        loop_.reset(pa_mainloop_new());
        if (!loop_) {
            return false;
        }
        context_.reset(pa_context_new(pa_mainloop_get_api(loop_.get()), "Kinvo!"));
        if (!context_ ||
            pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
        while (true) {
            const pa_context_state_t state = pa_context_get_state(context_.get());
            if (state == PA_CONTEXT_READY) {
                return true;
            }
            if (!PA_CONTEXT_IS_GOOD(state) || !iterate()) {
                return false;
            }
        }
    }

    // Runs the loop until the operation is done; false on a time-out or a lost connection.
    bool wait(pa_operation* raw) {
        const Operation operation(raw);
        if (!operation) {
            return false;
        }
        while (pa_operation_get_state(operation.get()) == PA_OPERATION_RUNNING) {
            if (!iterate()) {
                return false;
            }
        }
        return pa_operation_get_state(operation.get()) == PA_OPERATION_DONE;
    }

    pa_context* context() const { return context_.get(); }

  private:
    bool iterate() {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        if (pa_mainloop_prepare(loop_.get(), static_cast<int>(left.count()) * 1000) < 0 ||
            pa_mainloop_poll(loop_.get()) < 0 || pa_mainloop_dispatch(loop_.get()) < 0) {
            return false;
        }
        return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_.get()));
    }

    Clock::time_point deadline_;
    Mainloop loop_;  // freed after the context (members go in reverse order)
    Context context_;
};

struct SinkQuery {
    std::optional<pa_channel_map> map;
};

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user) {
    if (eol == 0 && info != nullptr) {
        static_cast<SinkQuery*>(user)->map = info->channel_map;
    }
}

struct Outcome {
    bool success = false;
};

void onSuccess(pa_context*, int success, void* user) {
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

constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

}  // namespace

std::uint32_t pulseVolumeFor(std::uint16_t level) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(level) * PA_VOLUME_NORM + 32767) /
                                      65535);
}

bool PulseWaveOut::setVolume(std::uint32_t leftLowRightHigh) {
    const auto left = pulseVolumeFor(static_cast<std::uint16_t>(leftLowRightHigh & 0xFFFF));
    const auto right = pulseVolumeFor(static_cast<std::uint16_t>(leftLowRightHigh >> 16));

    Connection connection(Clock::now() + timeout_);
    if (!connection.open()) {
        return false;
    }
    SinkQuery sink;
    if (!connection.wait(pa_context_get_sink_info_by_name(connection.context(), kDefaultSink,
                                                          onSinkInfo, &sink)) ||
        !sink.map) {
        return false;
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
    return connection.wait(pa_context_set_sink_volume_by_name(connection.context(), kDefaultSink,
                                                              &volume, onSuccess, &outcome)) &&
           outcome.success;
}

}  // namespace kinvo
