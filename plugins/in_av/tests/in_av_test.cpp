// in_av.so playing local files into out_qpcm.so: the PCM against the ffmpeg tool's, seeking,
// pausing, the end of a track, broken files, file information and the record's declarations.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "plugins/in_av/tests/media.h"
#include "plugins/in_av/tests/plugin_pair.h"

namespace kinvo::in_av::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kTrackTimeout = 60s;

int16_t sampleAt(const std::string& pcm, size_t index) {
    int16_t value = 0;
    std::memcpy(&value, pcm.data() + index * 2, 2);
    return value;
}

class InAv : public ::testing::Test {
  protected:
    MediaFolder media;
    PluginPair pair{media.path()};
    SonariInModule& in = pair.in();
};

struct Decoding {
    const char* name;
    const char* arguments;  // before the output file
    int maxDifference;      // per sample, in LSB
    size_t lengthSlack;     // samples per channel: the codec's frame
    size_t channels = 2;    // of the PCM
    const char* referenceOptions = "";
};

// Lossless formats must match bit for bit. For lossy ones both sides run the same decoder and
// convert its float output to 16 bits through libswresample, so the samples may differ only by
// the rounding of that conversion (1 LSB); the length may differ by at most one codec frame,
// since the tool and the plug-in may trim the decoder's padding at a different packet.
const Decoding kDecodings[] = {
    {"tone.wav", "-f lavfi -i sine=frequency=440:duration=3 -ac 2 -c:a pcm_s16le", 0, 0},
    {"tone.flac", "-f lavfi -i sine=frequency=440:duration=3 -c:a flac", 0, 0, 1},
    // Six channels are mixed down to two, as the tool mixes them when asked for two.
    {"surround.flac",
     "-f lavfi -i 'aevalsrc=sin(440*2*PI*t)|sin(550*2*PI*t)|0.3*sin(660*2*PI*t)|0.1|"
     "sin(330*2*PI*t)|sin(220*2*PI*t):c=5.1:d=3' -c:a flac",
     0, 0, 2, "-ac 2"},
    {"tone.mp3", "-f lavfi -i sine=frequency=440:duration=3 -ac 2 -c:a libmp3lame -b:a 128k", 1,
     1152},
    {"tone.ogg", "-f lavfi -i sine=frequency=440:duration=3 -ac 2 -c:a libvorbis", 1, 2048},
    {"tone.m4a", "-f lavfi -i sine=frequency=440:duration=3 -ac 2 -c:a aac", 1, 1024},
    {"clip.mp4",
     "-f lavfi -i testsrc=size=160x120:rate=10:duration=3 -f lavfi -i "
     "sine=frequency=440:duration=3 -c:v libx264 -pix_fmt yuv420p -c:a aac -ac 2",
     1, 1024},
    {"clip.wmv",
     "-f lavfi -i testsrc=size=160x120:rate=10:duration=3 -f lavfi -i "
     "sine=frequency=440:duration=3 -c:v wmv2 -c:a wmav2 -ac 2",
     1, 2048},
};

TEST_F(InAv, DecodesLikeTheFfmpegTool) {
    int ends = 0;
    for (const Decoding& row : kDecodings) {
        SCOPED_TRACE(row.name);
        const std::string file = media.make(row.name, row.arguments);
        const std::string expected = media.referencePcm(file, row.referenceOptions);
        ASSERT_EQ(in.play(file.c_str()), 0);
        ASSERT_TRUE(pair.waitForTrackEnds(++ends, kTrackTimeout));
        const std::string actual = pair.lastPcm();
        in.stop();
        const size_t expectedFrames = expected.size() / 2 / row.channels;
        const size_t actualFrames = actual.size() / 2 / row.channels;
        EXPECT_LE(std::max(expectedFrames, actualFrames) - std::min(expectedFrames, actualFrames),
                  row.lengthSlack);
        int worst = 0;
        for (size_t i = 0; i < std::min(expected.size(), actual.size()) / 2; ++i) {
            worst = std::max(worst, std::abs(sampleAt(expected, i) - sampleAt(actual, i)));
        }
        EXPECT_LE(worst, row.maxDifference);
    }
}

TEST_F(InAv, PausesSeeksAndEndsTheTrack) {
    // Ten minutes whose every sample tells its own time: value = t / 700 s of full scale.
    const std::string ramp =
        media.make("ramp.flac", "-f lavfi -i aevalsrc=exprs=t/700:s=44100:d=600 -c:a flac");
    ASSERT_EQ(in.play(ramp.c_str()), 0);
    in.pause();
    EXPECT_EQ(in.isPaused(), 1);
    EXPECT_NEAR(in.getLength(), 600000, 50);
    std::this_thread::sleep_for(50ms);
    const int32_t held = in.getOutputTime();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(in.getOutputTime(), held);
    EXPECT_LT(held, 600000);

    in.setOutputTime(3000);
    EXPECT_NEAR(in.getOutputTime(), 3000, 100);
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(in.getOutputTime(), 3000, 100);
    const size_t seekedAt = pair.lastPcmSize() / 2;
    EXPECT_EQ(pair.trackEnds(), 0);

    in.unpause();
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    EXPECT_NEAR(in.getOutputTime(), 600000, 100);
    const std::string pcm = pair.lastPcm();
    ASSERT_GT(pcm.size() / 2, seekedAt);
    const double firstAfterSeek = sampleAt(pcm, seekedAt) * 700.0 / 32768.0;
    EXPECT_NEAR(firstAfterSeek, 3.0, 0.1);
    EXPECT_NEAR(static_cast<double>(pcm.size() / 2 - seekedAt) / 44100.0, 597.0, 0.1);
    ASSERT_FALSE(pair.streamInfos().empty());
    EXPECT_EQ(pair.streamInfos().back()[1], 44100);
    EXPECT_EQ(pair.streamInfos().back()[2], 1);
}

TEST_F(InAv, BrokenFilesEndTheTrackOrFailToPlay) {
    const std::string whole =
        readFile(media.make("whole.mp3", "-f lavfi -i sine=duration=4 -c:a libmp3lame -b:a 128k"));
    const std::string truncated = media.write("truncated.mp3", whole.substr(0, whole.size() / 2));
    std::mt19937 random(7);
    std::string noise(64 * 1024, '\0');
    std::generate(noise.begin(), noise.end(), [&] { return static_cast<char>(random()); });
    const std::string garbage = media.write("garbage.mp3", noise);
    EXPECT_EQ(in.play((media.path() + "/missing.mp3").c_str()), -1);

    ASSERT_EQ(in.play(truncated.c_str()), 0);
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    EXPECT_NEAR(pair.lastPcmSize() / 2 / 44100.0, 2.0, 0.3);
    in.stop();

    if (in.play(garbage.c_str()) == 0) {
        EXPECT_TRUE(pair.waitForTrackEnds(2, kTrackTimeout));
    }
    in.stop();
}

TEST_F(InAv, FileInfoComesFromTheTags) {
    struct Row {
        const char* name;
        const char* tags;
        const char* title;
    };
    const Row rows[] = {
        {"tagged.mp3", "-metadata artist=Band -metadata title=Song", "Band - Song"},
        {"titled.ogg", "-metadata title=Only", "Only"},
        {"plain name.flac", "", "plain name"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file =
            media.make(row.name, std::string("-f lavfi -i sine=duration=3 ") + row.tags);
        char title[SONARI_IN_TITLE_SIZE] = "x";
        int32_t length = 0;
        in.getFileInfo(file.c_str(), title, &length);
        EXPECT_STREQ(title, row.title);
        EXPECT_NEAR(length, 3000, 60);
        // The file that plays answers the same for "".
        ASSERT_EQ(in.play(file.c_str()), 0);
        char playing[SONARI_IN_TITLE_SIZE] = "x";
        int32_t playingLength = 0;
        in.getFileInfo("", playing, &playingLength);
        in.stop();
        EXPECT_STREQ(playing, row.title);
        EXPECT_EQ(playingLength, length);
    }
    char title[SONARI_IN_TITLE_SIZE] = "";
    int32_t length = 0;
    in.getFileInfo("http://192.0.2.1/live", title, &length);  // never opened
    EXPECT_STREQ(title, "http://192.0.2.1/live");
    EXPECT_EQ(length, -1);
}

TEST_F(InAv, ExtendedInfoAnswersItsKeys) {
    auto get = reinterpret_cast<SonariGetExtendedFileInfoFn>(
        dlsym(pair.inLibrary(), SONARI_GET_EXTENDED_FILE_INFO));
    auto set = reinterpret_cast<SonariSetExtendedFileInfoFn>(
        dlsym(pair.inLibrary(), SONARI_SET_EXTENDED_FILE_INFO));
    auto write = reinterpret_cast<SonariWriteExtendedFileInfoFn>(
        dlsym(pair.inLibrary(), SONARI_WRITE_EXTENDED_FILE_INFO));
    ASSERT_TRUE(get && set && write);
    const std::string song = media.make(
        "song.mp3",
        "-f lavfi -i sine=duration=2 -c:a libmp3lame -b:a 128k -metadata title=T -metadata "
        "artist=A -metadata album=L -metadata genre=G -metadata date=1999 -metadata comment=C");
    const std::string clip = media.make(
        "clip.mp4", "-f lavfi -i testsrc=size=64x64:rate=5:duration=1 -f lavfi -i sine=duration=1");
    struct Row {
        const std::string& file;
        const char* key;
        const char* value;  // null: not answered
    };
    const Row rows[] = {
        {song, "title", "T"},      {song, "artist", "A"},  {song, "album", "L"},
        {song, "genre", "G"},      {song, "year", "1999"}, {song, "comment", "C"},
        {song, "bitrate", "128"},  {song, "type", "0"},    {clip, "type", "1"},
        {song, "colour", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        char value[256] = "";
        EXPECT_EQ(get(row.file.c_str(), row.key, value, sizeof value), row.value ? 1 : 0);
        if (row.value != nullptr) {
            EXPECT_STREQ(value, row.value);
        }
    }
    char length[32] = "";
    ASSERT_EQ(get(song.c_str(), "length", length, sizeof length), 1);
    EXPECT_NEAR(std::stoi(length), 2000, 60);
    EXPECT_EQ(get((media.path() + "/none.mp3").c_str(), "title", length, sizeof length), 0);

    EXPECT_EQ(set("blah.qrx", "setHttpConfigValues", "16000,2750,3250"), 1);
    EXPECT_EQ(write(), 1);
    EXPECT_EQ(set("blah.qrx", "setHttpConfigValues", "16000,x,3250"), 0);
    EXPECT_EQ(write(), 0);
    EXPECT_EQ(set("blah.qrx", "title", "T"), 0);
}

TEST_F(InAv, DeclaresItsTypesAndClaimsOnlyAddresses) {
    std::set<std::string> extensions;
    for (const char* text = in.fileTypes; *text != '\0';) {
        std::string list = text;
        text += list.size() + 1;
        ASSERT_NE(*text, '\0') << "an extension list without its description";
        text += std::strlen(text) + 1;
        for (size_t start = 0; start <= list.size();) {
            const size_t end = std::min(list.find(';', start), list.size());
            extensions.insert(list.substr(start, end - start));
            start = end + 1;
        }
    }
    for (const char* wanted :
         {"MP3", "MP2",  "WAV", "OGG", "OPUS", "FLAC", "M4A", "AAC", "WMA", "AC3", "MP4", "M4V",
          "MKV", "WEBM", "AVI", "MPG", "MPEG", "ASF",  "WMV", "RM",  "FLV", "TS",  "QRX"}) {
        EXPECT_EQ(extensions.count(wanted), 1u) << wanted;
    }
    for (const char* foreign : {"MOV", "QT", "M4P"}) {
        EXPECT_EQ(extensions.count(foreign), 0u) << foreign;
    }
    EXPECT_EQ(in.version, SONARI_IN_VERSION_EVENTS);
    EXPECT_EQ(in.flags & SONARI_IN_USES_OUTPUT, SONARI_IN_USES_OUTPUT);

    struct Row {
        const char* name;
        int32_t claimed;
    };
    const Row rows[] = {
        {"http://host/live", 1},    {"HTTPS://host/a.mp3?x=1", 1},
        {"rtsp://host/stream", 1},  {"http://host/clip.MOV?x=1", 0},
        {"http://host/a.qt", 0},    {"https://host/a.m4p", 0},
        {"/music/a.mp3", 0},        {"file:///music/a.mp3", 0},
        {"gopher://host/a.mp3", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(in.claimsFile(row.name), row.claimed) << row.name;
    }
}

}  // namespace
}  // namespace kinvo::in_av::testing
