#include "axserver/inputs/vis_ring.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>

namespace vexa {
namespace {

struct FramesCase {
    int32_t latencyMs;
    int32_t rate;
    int64_t frames;
};

class VisRingFrames : public ::testing::TestWithParam<FramesCase> {};

TEST_P(VisRingFrames, Size) {
    EXPECT_EQ(VisRing::framesFor(GetParam().latencyMs, GetParam().rate), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VisRingFrames,
    ::testing::Values(FramesCase{1000, 44100, 98},  // 98.0
                      FramesCase{100, 44100, 10},   // 9.8 rounds up
                      FramesCase{51, 44100, 5},     // 4.998
                      FramesCase{225, 1000, 1},     // 0.5 rounds to 1
                      FramesCase{224, 1000, 1},     // 0.498 is below 1: at least one
                      FramesCase{0, 44100, 1}, FramesCase{-100, 44100, 1},
                      FramesCase{10000, 384000, 8533},
                      // Far beyond any real stream: capped, computed without overflow.
                      FramesCase{INT32_MAX, INT32_MAX, VisRing::kMaxFrames}));

TEST(VisRing, AddAnswersOneWithoutARingAndWrapsAround) {
    VisRing ring;
    std::array<unsigned char, VisRing::kValues> values{};
    EXPECT_EQ(ring.add(values.data(), 0, 0), 1);
    ring.init(100, 44100);
    ASSERT_EQ(ring.size(), 10u);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(ring.add(values.data(), i, 1), 0);
    }
    EXPECT_EQ(ring.stored(), 25u);
    EXPECT_EQ(ring.add(nullptr, 0, 0), 1);
    ring.init(1000, 44100);  // replaces the ring
    EXPECT_EQ(ring.size(), 98u);
    ring.quit();
    EXPECT_EQ(ring.size(), 0u);
    EXPECT_EQ(ring.add(values.data(), 0, 0), 1);
}

TEST(VisRing, AddPcmStoresForEverySampleWidth) {
    VisRing ring;
    ring.init(1000, 44100);
    std::array<int16_t, 2 * VisRing::kValues> pcm16{};
    pcm16[0] = INT16_MIN;
    std::array<unsigned char, VisRing::kValues> pcm8{};
    std::array<int32_t, VisRing::kValues> pcm32{};
    ring.addPcm(pcm16.data(), 2, 16, 1);
    ring.addPcm(pcm8.data(), 1, 8, 2);
    ring.addPcm(pcm32.data(), 1, 32, 3);
    ring.addPcm(nullptr, 2, 16, 4);
    EXPECT_EQ(ring.stored(), 4u);
}

}  // namespace
}  // namespace vexa
