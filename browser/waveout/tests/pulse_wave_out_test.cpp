// The sound-server volume: level conversion, and no server meaning a quiet, quick refusal.
#include "browser/waveout/pulse_wave_out.h"

#include <pulse/volume.h>

#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

TEST(PulseWaveOut, LevelsMapOntoTheSinkScale) {
    const struct {
        std::uint16_t level;
        std::uint32_t volume;
    } cases[] = {{0, 0}, {65535, PA_VOLUME_NORM}, {6554, 6554}};
    for (const auto& c : cases) {
        EXPECT_EQ(pulseVolumeFor(c.level), c.volume) << c.level;
    }
}

TEST(PulseWaveOut, NoSoundServerIsARefusalWithinTheTimeOut) {
    setenv("PULSE_SERVER", "unix:/nonexistent/kinvo-test-socket", 1);
    PulseWaveOut out(std::chrono::milliseconds(2000));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(out.setVolume(0xFFFF'FFFFu));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace kinvo
