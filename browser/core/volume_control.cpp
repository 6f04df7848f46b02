#include "browser/core/volume_control.h"

#include "browser/core/wave_out.h"

#include <algorithm>

namespace kinvo {

int volumeBars(std::int32_t level) {
    if (level <= 0) {
        return 0;
    }
    // Nearest whole number of level / step, a tie going to the even neighbour.
    const std::int32_t whole = level / kVolumeStep;
    const std::int32_t twiceRest = (level % kVolumeStep) * 2;
    if (twiceRest > kVolumeStep || (twiceRest == kVolumeStep && whole % 2 == 1)) {
        return whole + 1;
    }
    return whole;
}

std::string volumeMarks(int bars) {
    std::string marks;
    for (int i = 0; i < bars; ++i) {
        marks += "|    ";
    }
    return marks;
}

std::uint32_t waveOutValue(std::int32_t level) {
    const auto channel = static_cast<std::uint32_t>(std::clamp(level, 0, kVolumeMax));
    return channel | (channel << 16);
}

void VolumeControl::vol(bool up) {
    view_.showVolumeDisplay();
    view_.startVolumeTimer();
    volumeLevel_ = up ? std::min(volumeLevel_ + kVolumeStep, kVolumeMax)
                      : std::max(volumeLevel_ - kVolumeStep, 0);
    waveOut_.setVolume(waveOutValue(volumeLevel_));  // a device that refuses is ignored
    volumeBars_ = volumeBars(volumeLevel_);
    view_.setVolumeMarks(volumeMarks(volumeBars_));
    view_.layOut();
    view_.showVolumeDisplay();
}

}  // namespace kinvo
