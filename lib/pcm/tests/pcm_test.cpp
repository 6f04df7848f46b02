#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lib/pcm/format.h"
#include "lib/pcm/output_clock.h"
#include "lib/pcm/volume.h"

namespace kinvo::pcm {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(PcmFormat, ConversionsForEachSampleSize) {
    struct Case {
        Format format;
        int64_t bytes, frames, ms;  // bytes -> frames -> ms
        int64_t msBack;             // msToBytes(ms)
    };
    const Case cases[] = {
        {{44100, 2, 16}, 176400, 44100, 1000, 176400},
        {{44100, 2, 16}, 4 * 441 + 3, 441, 10, 4 * 441},  // a partial frame counts for nothing
        {{48000, 1, 8}, 480, 480, 10, 480},
        {{48000, 2, 24}, 6 * 4800, 4800, 100, 6 * 4800},
        {{96000, 6, 32}, 24 * 95, 95, 0, 0},  // just under a millisecond rounds down
        {{22050, 2, 32}, 8 * 22050 * 3, 22050 * 3, 3000, 8 * 22050 * 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format.rate << "/" << c.format.channels << "/"
                                        << c.format.bits << " " << c.bytes);
        EXPECT_TRUE(isValid(c.format));
        EXPECT_EQ(bytesToFrames(c.bytes, c.format), c.frames);
        EXPECT_EQ(bytesToMs(c.bytes, c.format), c.ms);
        EXPECT_EQ(msToBytes(c.ms, c.format), c.msBack);
        EXPECT_EQ(framesToBytes(c.frames, c.format), c.frames * bytesPerFrame(c.format));
    }
}

TEST(PcmFormat, RejectsWhatNoOutputCanPlay) {
    for (const Format& f : {Format{44100, 2, 12}, Format{0, 2, 16}, Format{44100, 0, 16},
                            Format{44100, 33, 16}, Format{800000, 2, 16}, Format{44100, 2, 64}}) {
        EXPECT_FALSE(isValid(f)) << f.rate << "/" << f.channels << "/" << f.bits;
    }
}

TEST(PcmOutputClock, WrittenPlayedFlush) {
    OutputClock clock;
    clock.start({1000, 1, 16});  // a frame a millisecond
    clock.addWrittenBytes(3);    // one frame and a half
    clock.addWrittenBytes(3);
    clock.addWrittenBytes(1000);
    EXPECT_EQ(clock.writtenFrames(), 503);
    EXPECT_EQ(clock.writtenMs(), 503);
    EXPECT_EQ(clock.playedMs(200), 200);
    EXPECT_EQ(clock.playedMs(-5), 0);
    EXPECT_EQ(clock.playedMs(900), 503);  // never ahead of what was written

    clock.restart(60000);
    EXPECT_EQ(clock.writtenMs(), 60000);
    EXPECT_EQ(clock.playedMs(100), 60000);
    clock.addWrittenBytes(200);
    EXPECT_EQ(clock.playedMs(40), 60040);
    EXPECT_EQ(clock.writtenMs(), 60100);

    clock.start({44100, 2, 16});
    EXPECT_EQ(clock.writtenMs(), 0);
}

TEST(PcmVolume, ChannelGains) {
    struct Case {
        int32_t volume, pan, channels;
        std::vector<double> gains;
    };
    const Case cases[] = {
        {255, 0, 2, {1.0, 1.0}},  {0, 0, 2, {0.0, 0.0}},         {51, 0, 1, {0.2}},
        {255, -128, 2, {1.0, 0}}, {255, 127, 2, {0.0, 1.0}},     {255, -64, 2, {1.0, 0.5}},
        {255, 127, 1, {1.0}},     {300, -200, 3, {1.0, 0, 1.0}},  // clamped
        {-4, 0, 2, {0.0, 0.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.volume << " " << c.pan << " " << c.channels);
        std::vector<::testing::Matcher<double>> near;
        for (double g : c.gains) {
            near.push_back(DoubleNear(g, 1e-9));
        }
        EXPECT_THAT(channelGains(c.volume, c.pan, c.channels), ElementsAreArray(near));
    }
}

// Samples as little-endian bytes of each width.
std::vector<unsigned char> bytesOf(const std::vector<int64_t>& samples, int32_t bits) {
    std::vector<unsigned char> out;
    for (int64_t s : samples) {
        const auto raw = static_cast<uint64_t>(bits == 8 ? s + 128 : s);
        for (int32_t i = 0; i < bits / 8; ++i) {
            out.push_back(static_cast<unsigned char>(raw >> (8 * i)));
        }
    }
    return out;
}

TEST(PcmVolume, ScalesEverySampleSize) {
    struct Case {
        int32_t bits, channels, volume, pan;
        std::vector<int64_t> in, out;  // sample values (8-bit ones centred on 0)
    };
    const Case cases[] = {
        {16, 2, 255, 0, {1000, -1000, 32767, -32768}, {1000, -1000, 32767, -32768}},
        {16, 2, 0, 0, {1000, -1000}, {0, 0}},
        {16, 2, 255, -64, {1000, -1000, 32767, -32768}, {1000, -500, 32767, -16384}},
        {16, 2, 255, 127, {1000, -1000}, {0, -1000}},
        {8, 2, 51, 0, {-128, 127, 10, -10}, {-26, 25, 2, -2}},
        {24, 2, 51, 0, {8388607, -8388608}, {1677721, -1677722}},
        {32, 1, 51, 0, {2147483647, -2147483647 - 1, -5}, {429496729, -429496730, -1}},
        {16, 2, 128, 0, {3, -3}, {2, -2}},  // halves round away from zero alike
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.bits << " bits, volume " << c.volume << ", pan " << c.pan);
        std::vector<unsigned char> data = bytesOf(c.in, c.bits);
        data.push_back(0x5a);  // a partial frame stays untouched
        scale(data.data(), data.size(), {44100, c.channels, c.bits}, c.volume, c.pan);
        std::vector<unsigned char> expected = bytesOf(c.out, c.bits);
        expected.push_back(0x5a);
        EXPECT_THAT(data, ElementsAreArray(expected));
    }
}

}  // namespace
}  // namespace kinvo::pcm
