// The WAV writer's header (with and without conversion, even and odd sizes) and the renaming of
// "WAV " destinations.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "axserver/convert/wav_name.h"
#include "axserver/convert/wav_writer.h"

namespace vexa {
namespace {

using kinvo::ffmpeg::PcmFormat;

uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t le16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}

// Feeds `inputBytes` of silence through a writer as the conversion does (32 KB output steps,
// drain, header over the reserved room) and answers the whole file.
std::vector<uint8_t> writeFile(SonariEncoder* encoder, size_t inputBytes) {
    std::vector<uint8_t> file;
    std::vector<uint8_t> input(inputBytes, 0x80);
    std::vector<uint8_t> out(0x8000);
    auto loop = [&](const uint8_t* data, int32_t left) {
        for (int32_t position = 0;; ++position) {
            int32_t used = 0;
            int32_t made =
                encoder->ops->encode(encoder, position, data, left, &used, out.data(), 0x8000);
            EXPECT_GE(made, 0);
            file.insert(file.end(), out.begin(), out.begin() + std::max(made, 0));
            data += used;
            left -= used;
            if (made <= 0 && used == 0) {
                break;
            }
        }
    };
    loop(input.data(), static_cast<int32_t>(input.size()));
    WavWriter* writer = WavWriter::of(encoder);
    writer->drain();
    loop(nullptr, 0);
    WavHeader header = writer->header();
    std::memcpy(file.data(), header.data(), header.size());
    return file;
}

TEST(WavWriter, HeaderDescribesTheFile) {
    struct Case {
        PcmFormat source;
        WavParameters wanted;
        size_t inputBytes;
        PcmFormat described;
        bool converted;
    };
    const Case cases[] = {
        // Samples pass through: rate 0, or the source's own values.
        {{44100, 16, 2}, {0, 0, 0}, 40000, {44100, 16, 2}, false},
        {{44100, 16, 2}, {44100, 16, 2}, 40000, {44100, 16, 2}, false},
        // An odd size (8-bit mono): the RIFF size rounds up to even.
        {{22050, 8, 1}, {0, 16, 2}, 40001, {22050, 8, 1}, false},
        {{48000, 24, 2}, {0, 0, 0}, 6 * 7001, {48000, 24, 2}, false},
        // Converted: the header tells the target format.
        {{44100, 16, 2}, {48000, 16, 2}, 176400, {48000, 16, 2}, true},
        {{44100, 16, 2}, {22050, 8, 1}, 176400, {22050, 8, 1}, true},
        {{32000, 16, 1}, {44100, 24, 2}, 64000, {44100, 24, 2}, true},
        {{44100, 32, 2}, {44100, 16, 2}, 352800, {44100, 16, 2}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inputBytes);
        EncoderObject encoder = WavWriter::make(c.source, c.wanted);
        ASSERT_NE(encoder, nullptr);
        EXPECT_EQ(WavWriter::of(encoder.get())->converting(), c.converted);
        std::vector<uint8_t> file = writeFile(encoder.get(), c.inputBytes);
        ASSERT_GE(file.size(), 44u);
        const uint8_t* h = file.data();
        const uint32_t data = le32(h + 40);
        const uint32_t block = static_cast<uint32_t>(c.described.frameBytes());
        EXPECT_EQ(std::memcmp(h, "RIFF", 4), 0);
        EXPECT_EQ(std::memcmp(h + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(std::memcmp(h + 36, "data", 4), 0);
        EXPECT_EQ(le32(h + 16), 16u);
        EXPECT_EQ(le16(h + 20), 1u);
        EXPECT_EQ(le16(h + 22), static_cast<uint32_t>(c.described.channels));
        EXPECT_EQ(le32(h + 24), static_cast<uint32_t>(c.described.sampleRate));
        EXPECT_EQ(le32(h + 28), block * static_cast<uint32_t>(c.described.sampleRate));
        EXPECT_EQ(le16(h + 32), block);
        EXPECT_EQ(le16(h + 34), static_cast<uint32_t>(c.described.bitsPerSample));
        EXPECT_EQ(data, file.size() - 44);
        if (c.converted) {
            EXPECT_EQ(le32(h + 4), file.size() - 8);
            // Every source frame reaches the file: the resampler's tail is drained.
            const double seconds =
                static_cast<double>(c.inputBytes) / (c.source.frameBytes() * c.source.sampleRate);
            EXPECT_NEAR(data / block, seconds * c.described.sampleRate, 2);
        } else {
            EXPECT_EQ(data, c.inputBytes);
            EXPECT_EQ(le32(h + 4), (36 + c.inputBytes + 1) / 2 * 2);
        }
    }
}

TEST(WavWriter, RefusesFormatsItCannotConvert) {
    EXPECT_EQ(WavWriter::make({44100, 16, 2}, {44100, 12, 2}), nullptr);
    EXPECT_EQ(WavWriter::make({44100, 16, 2}, {48000, 16, 0}), nullptr);
    EXPECT_EQ(WavWriter::make({44100, 20, 2}, {0, 0, 0}), nullptr);
}

TEST(WavWriter, NoOutputUntilTheHeaderRoomFits) {
    EncoderObject encoder = WavWriter::make({44100, 16, 2}, {});
    uint8_t input[8] = {};
    uint8_t out[43];
    int32_t used = -1;
    EXPECT_EQ(encoder->ops->encode(encoder.get(), 0, input, 8, &used, out, 43), 0);
    EXPECT_EQ(used, 0);
}

TEST(WavName, ExtensionOfAtLeastThreeCharactersBecomesWav) {
    struct Case {
        const char* given;
        const char* written;
    };
    const Case cases[] = {
        {"song.mp3", "song.WAV"},
        {"/music/song.flac", "/music/song.WAV"},
        {"song.ab", "song.ab"},
        {"song", "song"},
        {"song.", "song."},
        {"a.b.wav", "a.b.WAV"},
        // Only the file name after the last '/' is looked at.
        {"/music.dir/song", "/music.dir/song"},
        {"/music.dir/song.ogg", "/music.dir/song.WAV"},
        {"/tmp/.hidden", "/tmp/.WAV"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wavDestinationName(c.given), c.written) << c.given;
    }
}

}  // namespace
}  // namespace vexa
