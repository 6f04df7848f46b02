#pragma once
// vol: the volume commands. Each step moves the level by 6554 (of 0 to 65535), sets the
// wave-out volume on both channels, rebuilds the marks of the volume display and shows the
// display, which a 7-second timer hides again. The level starts at 65535 in every run and is
// never read back from the system. User-interface thread only.

#include <cstdint>
#include <string>

namespace kinvo {

class WaveOut;

inline constexpr std::int32_t kVolumeStep = 6554;  // 6553.5, rounded to the even neighbour
inline constexpr std::int32_t kVolumeMax = 65535;
inline constexpr int kVolumeDisplayMs = 7000;

// What a volume step changes on the window.
class VolumeView {
  public:
    virtual ~VolumeView() = default;
    virtual void showVolumeDisplay() = 0;  // frameVol
    // timerVol, 7 seconds, then hides the display; a running count starts again.
    virtual void startVolumeTimer() = 0;
    virtual void setVolumeMarks(const std::string& marks) = 0;  // lblV2
    virtual void layOut() = 0;                                  // Form_Resize
};

// Marks for a level: level / 6554 to the nearest whole number, halves to even (0 for 0).
int volumeBars(std::int32_t level);
// "|    " repeated bars times.
std::string volumeMarks(int bars);
// Both channels at level: level in the low and again in the high 16 bits.
std::uint32_t waveOutValue(std::int32_t level);

class VolumeControl {
  public:
    VolumeControl(WaveOut& waveOut, VolumeView& view) : waveOut_(waveOut), view_(view) {}

    // One step up (true) or down.
    void vol(bool up);
    // Back to the start-of-run level, 65535 (GetSettings); touches neither device nor display.
    void reset() {
        volumeLevel_ = kVolumeMax;
        volumeBars_ = 0;
    }

    std::int32_t volumeLevel() const { return volumeLevel_; }
    int bars() const { return volumeBars_; }

  private:
    WaveOut& waveOut_;
    VolumeView& view_;
    std::int32_t volumeLevel_ = kVolumeMax;
    int volumeBars_ = 0;
};

}  // namespace kinvo
