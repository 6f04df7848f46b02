// The PCM resampler of lib/ffmpeg against the ffmpeg tool's own resampling of the same WAV file:
// the same number of frames (its tail flushed) and an SNR of at least 60 dB on 16-bit output
// (with Debian 12's FFmpeg 5.1 both give the same samples bit for bit; the bound leaves room for
// another FFmpeg's filter or rounding).
#include <gtest/gtest.h>

#include "axserver/convert/tests/media.h"
#include "lib/ffmpeg/pcm_resampler.h"

namespace vexa {
namespace {

using kinvo::ffmpeg::PcmFormat;
using kinvo::ffmpeg::PcmResampler;

constexpr double kMinSnrDb = 60.0;

TEST(PcmResampler, MatchesTheToolsResampling) {
    struct Case {
        PcmFormat from;
        const char* codec;
        PcmFormat to;
    };
    const Case cases[] = {
        {{44100, 16, 2}, "pcm_s16le", {48000, 16, 2}},
        {{48000, 16, 2}, "pcm_s16le", {22050, 16, 2}},
        {{44100, 24, 2}, "pcm_s24le", {48000, 16, 2}},
        {{44100, 32, 1}, "pcm_s32le", {32000, 16, 1}},
        {{22050, 8, 1}, "pcm_u8", {44100, 16, 1}},
    };
    convert_test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codec) + " " + std::to_string(c.from.sampleRate));
        const std::string wav = dir / "tone.wav";
        ASSERT_TRUE(convert_test::makeTone(wav, c.from.sampleRate, c.from.channels, c.codec, 1.5));
        std::vector<uint8_t> source = convert_test::ffmpegDecode(
            wav,
            "-f " + std::string(c.from.bitsPerSample == 8 ? "u8" : "s") +
                (c.from.bitsPerSample == 8 ? "" : std::to_string(c.from.bitsPerSample) + "le"));
        std::vector<uint8_t> reference =
            convert_test::ffmpegDecode(wav, "-ar " + std::to_string(c.to.sampleRate) + " -f s16le");
        ASSERT_FALSE(source.empty());
        ASSERT_FALSE(reference.empty());

        auto resampler = PcmResampler::make(c.from, c.to);
        ASSERT_TRUE(resampler.has_value());
        std::vector<uint8_t> converted;
        // In uneven pieces, as decoders deliver them.
        for (size_t at = 0; at < source.size();) {
            size_t piece = std::min<size_t>(source.size() - at, 4096 + at % 3000);
            piece -= piece % static_cast<size_t>(c.from.frameBytes());
            ASSERT_TRUE(resampler->convert({source.data() + at, piece}, converted));
            at += piece;
        }
        ASSERT_TRUE(resampler->flush(converted));
        EXPECT_NEAR(static_cast<double>(converted.size()), static_cast<double>(reference.size()),
                    4.0 * c.to.frameBytes());
        EXPECT_GE(convert_test::snrDb(reference, converted), kMinSnrDb);
    }
}

TEST(PcmResampler, RefusesFormatsOutsideItsRange) {
    EXPECT_FALSE(PcmResampler::make({44100, 16, 2}, {0, 16, 2}).has_value());
    EXPECT_FALSE(PcmResampler::make({44100, 12, 2}, {48000, 16, 2}).has_value());
    EXPECT_FALSE(PcmResampler::make({44100, 16, 0}, {48000, 16, 2}).has_value());
}

}  // namespace
}  // namespace vexa
