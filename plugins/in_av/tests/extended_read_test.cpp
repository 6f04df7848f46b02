// The extended-read exports of in_av.so, loaded as a host loads them: the PCM against the ffmpeg
// tool's own decoding of the same file, the stop flag, the failures and their texts, and two
// reads at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "plugins/in_av/tests/extended_exports.h"
#include "plugins/in_av/tests/media.h"

namespace kinvo::in_av::testing {
namespace {

constexpr int32_t kBlock = 32 * 1024 + 3;  // not a whole number of frames

using Exports = ExtendedExports;

struct Read {
    int32_t total = -1, bits = 0, channels = 0, rate = 0;
    std::string pcm;
    bool wholeFrames = true;  // every answer of getData
};

// Opens `file` and reads it to the end in kBlock steps; the stop flag, when given, is set for
// the first call only.
Read readAll(const Exports& x, const std::string& file, bool stopFirst = false) {
    Read read;
    const SonariReadHandle handle =
        x.open(file.c_str(), &read.total, &read.bits, &read.channels, &read.rate);
    EXPECT_NE(handle, 0) << file << ": " << (x.lastError() ? x.lastError() : "no text");
    if (handle == 0) {
        return read;
    }
    std::string block(kBlock, '\0');
    volatile int32_t stop = stopFirst ? 1 : 0;
    for (;;) {
        const int32_t count = x.getData(handle, block.data(), kBlock, &stop);
        if (stop != 0) {
            EXPECT_LT(count, kBlock - 3) << "a set stop flag returns before the buffer is full";
            stop = 0;
        } else if (count <= 0) {
            EXPECT_EQ(count, 0);
            break;
        }
        read.wholeFrames = read.wholeFrames && count % (read.channels * 2) == 0;
        read.pcm.append(block.data(), static_cast<size_t>(std::max(count, 0)));
    }
    x.close(handle);
    return read;
}

class ExtendedRead : public ::testing::Test {
  protected:
    MediaFolder media;
    Exports x;
    void SetUp() override { ASSERT_NE(x.lastError, nullptr) << dlerror(); }
};

struct Source {
    const char* name;
    const char* arguments;  // before the output file
    int32_t channels, rate;
};

const char* const kTone = "-f lavfi -i sine=frequency=440:duration=3 ";
const Source kSources[] = {
    {"tone.mp3", "-ac 2 -c:a libmp3lame -b:a 128k", 2, 44100},
    {"tone.ogg", "-ac 1 -ar 48000 -c:a libvorbis", 1, 48000},
    {"tone.flac", "-ac 2 -ar 96000 -c:a flac", 2, 96000},
    {"tone.m4a", "-ac 2 -c:a aac", 2, 44100},
    {"tone.wma", "-ac 2 -c:a wmav2", 2, 44100},
    {"tone24.wav", "-ac 1 -ar 22050 -c:a pcm_s24le", 1, 22050},  // narrowed to 16 bits
    {"surround.flac", "-af 'pan=5.1|c0=c0|c1=0.5*c0|c2=0.2*c0|c3=0*c0|c4=c0|c5=0.7*c0' -c:a flac",
     6, 44100},  // every channel kept, none mixed
};

TEST_F(ExtendedRead, ReadsExactlyWhatTheFfmpegToolDecodes) {
    for (const Source& row : kSources) {
        SCOPED_TRACE(row.name);
        const std::string file = media.make(row.name, std::string(kTone) + row.arguments);
        const std::string expected = media.referencePcm(file);
        for (const bool stopFirst : {false, true}) {
            const Read read = readAll(x, file, stopFirst);
            EXPECT_EQ(read.bits, 16);
            EXPECT_EQ(read.channels, row.channels);
            EXPECT_EQ(read.rate, row.rate);
            EXPECT_TRUE(read.wholeFrames);
            // The duration says the size within a codec frame's padding (4096 frames).
            EXPECT_NEAR(read.total, static_cast<double>(expected.size()), 4096 * row.channels * 2);
            ASSERT_EQ(read.pcm.size(), expected.size()) << "stop first " << stopFirst;
            EXPECT_TRUE(read.pcm == expected) << "stop first " << stopFirst;
        }
    }
}

TEST_F(ExtendedRead, FailuresAnswerNoHandleAndATextOnTheirThread) {
    const std::string notes = media.write("notes.txt", "not sound at all\n");
    const std::string noise = media.write("noise.mp3", std::string(5000, '\x5a'));
    const std::string pictures =
        media.make("pictures.mp4", "-f lavfi -i testsrc=size=64x48:duration=1 -c:v mpeg4");
    const struct {
        std::string file;
        const char* text;  // before the name
        const char* reason = "";
    } kFailures[] = {
        {notes, "not an audio file: "},
        {noise, "not an audio file: "},
        {pictures, "not an audio file: "},
        {media.path() + "/gone.mp3", "cannot open ", ": No such file or directory"},
        {media.path(), "cannot open ", ": Is a directory"},
        {"http://127.0.0.1:9/a.mp3", "cannot open ", ": not a local file"},
    };
    for (const auto& row : kFailures) {
        SCOPED_TRACE(row.file);
        int32_t total = 0, bits = 0, channels = 0, rate = 0;
        EXPECT_EQ(x.open(row.file.c_str(), &total, &bits, &channels, &rate), 0);
        ASSERT_NE(x.lastError(), nullptr);
        EXPECT_EQ(std::string(x.lastError()), row.text + row.file + row.reason);
    }
    const char* other = "";
    std::thread([&] { other = x.lastError(); }).join();
    EXPECT_EQ(other, nullptr) << "another thread has no failure of its own";
}

TEST_F(ExtendedRead, TwoHandlesReadAtOnce) {
    const std::string files[] = {
        media.make("a.mp3", std::string(kTone) + "-ac 2 -c:a libmp3lame"),
        media.make("b.flac", "-f lavfi -i sine=frequency=660:duration=4 -c:a flac"),
    };
    Read reads[2];
    std::thread other([&] { reads[1] = readAll(x, files[1]); });
    reads[0] = readAll(x, files[0]);
    other.join();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(reads[i].pcm == media.referencePcm(files[i])) << files[i];
    }
}

}  // namespace
}  // namespace kinvo::in_av::testing
