#include "browser/waveout/pulse_wave_out.h"

#include "browser/core/texts.h"
#include "lib/pulse/connection.h"
#include "lib/pulse/sink_volume.h"

#include <pulse/volume.h>

#include <string>

namespace kinvo {

std::uint32_t pulseVolumeFor(std::uint16_t level) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(level) * PA_VOLUME_NORM + 32767) /
                                      65535);
}

bool PulseWaveOut::setVolume(std::uint32_t leftLowRightHigh) {
    const auto left = pulseVolumeFor(static_cast<std::uint16_t>(leftLowRightHigh & 0xFFFF));
    const auto right = pulseVolumeFor(static_cast<std::uint16_t>(leftLowRightHigh >> 16));

    const auto deadline = pulse::Clock::now() + timeout_;
    pulse::Connection connection;
    return connection.connect(std::string(texts::kTitle).c_str(), deadline) == pulse::Status::Ok &&
           pulse::setDefaultSinkVolume(connection, left, right, deadline) == pulse::Status::Ok;
}

}  // namespace kinvo
