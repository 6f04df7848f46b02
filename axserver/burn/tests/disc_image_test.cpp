// Burning through a real vexahost, its burn process and PrimoSDK.so's image drive: vexactl burns
// MP3, Ogg and FLAC tracks at three rates, the BIN is read back by the ffmpeg tool as raw 16-bit
// stereo and every track equals the tool's own conversion to 44100 Hz stereo at the offset the
// CUE sheet gives, after silence of its pause. Also the commands' answers, and a letter that
// names no drive.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "axserver/convert/tests/media.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"
#include "platform/registry.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using convert_test::TempDir;

// The tracks' audio against the tool's conversion: resampler and decoder rounding left 71 to
// 72 dB here; a track shifted by one sample falls far below.
constexpr double kMinSnrDb = 50.0;
constexpr size_t kSectorBytes = 2352;

using convert_test::Outcome;

class DiscImage : public ::testing::Test {
  protected:
    void SetUp() override {
        test::isolateProcess();
        fs::create_directories(tmp);
        fs::create_directories(image);
        ::setenv("TMPDIR", tmp.c_str(), 1);
        folder.add(PRIMO_PATH, "PrimoSDK.so");
        folder.add(IN_AV_PATH, "Plugins/in_av.so");
        ASSERT_EQ(win::Registry::process().setValue(
                      win::RootKey::CurrentUser, "Software\\Kinvo\\Burning Drives", "E",
                      win::RegValue::string("image:" + image.string())),
                  win::RegStatus::Ok);
    }
    void TearDown() override { ::unsetenv("TMPDIR"); }

    Outcome vexactl(const std::string& arguments) {
        const std::string command =
            std::string(VEXACTL_PATH) + " --server '" + folder.server() + "' burn " + arguments;
        return convert_test::capture(command);
    }

    // A tone encoded by the tool.
    std::string track(const std::string& name, int rate, int channels, double seconds,
                      const std::string& codec) {
        const std::string wav = dir / (name + ".wav");
        EXPECT_TRUE(convert_test::makeTone(wav, rate, channels, "pcm_s16le", seconds));
        const std::string out = dir / name;
        EXPECT_TRUE(convert_test::run("ffmpeg -nostdin -loglevel error -y -i '" + wav + "' " +
                                      codec + " '" + out + "'"));
        return out;
    }

    TempDir dir;
    fs::path tmp = fs::path(dir.path()) / "tmp";
    fs::path image = fs::path(dir.path()) / "image";
    test::ProgramFolder folder;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) {
        out.push_back(text.substr(at, nl - at));
    }
    return out;
}

// vexactl's progress lines, without whatever else the programs print (a sanitizer's report of a
// burn process that outlives vexactl's wait ends up in the same pipe).
std::vector<std::string> progressLines(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& line : lines(text)) {
        unsigned n = 0;
        char end = 0;
        const bool matches =
            line == "started" || line == "done" || line == "failed" ||
            std::sscanf(line.c_str(), "converting track %u%c", &n, &end) == 1 ||
            (std::sscanf(line.c_str(), "converting %u%c", &n, &end) == 2 && end == '%') ||
            (std::sscanf(line.c_str(), "burning %u%c", &n, &end) == 2 && end == '%');
        if (matches) {
            out.push_back(line);
        }
    }
    return out;
}

TEST_F(DiscImage, BurnsMp3OggAndFlacWithTheirPauses) {
    const std::vector<std::string> sources = {
        track("one.mp3", 32000, 1, 2.0, "-c:a libmp3lame -b:a 128k"),
        track("two.ogg", 48000, 2, 1.5, "-c:a libvorbis"),
        track("three.flac", 22050, 2, 1.0, "-c:a flac"),
    };
    const std::vector<size_t> pauses = {0, 2, 1};
    Outcome run =
        vexactl("--pauses 0,2,1 E '" + sources[0] + "' '" + sources[1] + "' '" + sources[2] + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const auto said = progressLines(run.output);
    ASSERT_GE(said.size(), 6u) << run.output;
    EXPECT_EQ(said[0], "started");
    EXPECT_EQ(said[1], "converting track 1");
    EXPECT_NE(std::find(said.begin(), said.end(), "converting track 3"), said.end());
    EXPECT_NE(std::find(said.begin(), said.end(), "burning 0%"), said.end());
    EXPECT_EQ(said.back(), "done");

    std::ifstream cueFile(image / "disc.cue");
    const std::string cue{std::istreambuf_iterator<char>(cueFile), {}};
    std::vector<size_t> index0(3, SIZE_MAX), index1(3, SIZE_MAX);
    size_t trackIndex = SIZE_MAX;
    for (const std::string& line : lines(cue)) {
        unsigned number = 0, index = 0, minutes = 0, seconds = 0, frames = 0;
        if (std::sscanf(line.c_str(), "  TRACK %2u AUDIO", &number) == 1) {
            trackIndex = number - 1;
        } else if (std::sscanf(line.c_str(), "    INDEX %2u %2u:%2u:%2u", &index, &minutes,
                               &seconds, &frames) == 4) {
            ASSERT_LT(trackIndex, 3u) << cue;
            ASSERT_LE(index, 1u) << cue;
            (index == 0 ? index0 : index1)[trackIndex] = (minutes * 60 + seconds) * 75 + frames;
        }
    }
    ASSERT_TRUE(cue.starts_with("FILE \"disc.bin\" BINARY\n")) << cue;

    // The tool reads the BIN as raw 16-bit stereo at 44100 Hz.
    const std::string raw = dir / "disc.raw";
    ASSERT_TRUE(
        convert_test::run("ffmpeg -nostdin -loglevel error -y -f s16le -ar 44100 -ac 2 -i '" +
                          (image / "disc.bin").string() + "' -f s16le '" + raw + "'"));
    const auto bin = convert_test::readFile(raw);
    ASSERT_FALSE(bin.empty());
    ASSERT_EQ(bin.size() % kSectorBytes, 0u);
    size_t expectedStart = 0;
    for (size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(sources[i]);
        const auto reference = convert_test::ffmpegDecode(sources[i], "-ar 44100 -ac 2 -f s16le");
        ASSERT_FALSE(reference.empty());
        const size_t pause = pauses[i] * 75;
        EXPECT_EQ(index0[i], pause > 0 ? expectedStart : SIZE_MAX);
        ASSERT_EQ(index1[i], expectedStart + pause);
        const size_t start = index1[i] * kSectorBytes;
        for (size_t at = expectedStart * kSectorBytes; at < start; ++at) {
            ASSERT_EQ(bin[at], 0) << "pause byte " << at;
        }
        ASSERT_LE(start + reference.size(), bin.size() + kSectorBytes);
        const std::vector<uint8_t> burned(
            bin.begin() + static_cast<long>(start),
            bin.begin() + static_cast<long>(std::min(bin.size(), start + reference.size())));
        EXPECT_GE(convert_test::snrDb(reference, burned), kMinSnrDb);
        // The next track starts after this one's sectors; the converted length may differ from
        // the tool's by a few samples at the end.
        const size_t sectors = (reference.size() + kSectorBytes - 1) / kSectorBytes;
        const size_t next = i + 1 < sources.size()
                                ? index0[i + 1] != SIZE_MAX ? index0[i + 1] : index1[i + 1]
                                : bin.size() / kSectorBytes;
        EXPECT_NEAR(static_cast<double>(next), static_cast<double>(index1[i] + sectors), 1.0);
        expectedStart = next;
    }
    EXPECT_EQ(bin.size() / kSectorBytes, expectedStart);
    // Only the image is left: no track files, no list file, no parts.
    EXPECT_TRUE(fs::is_empty(tmp)) << fs::directory_iterator(tmp)->path();
    EXPECT_EQ(std::distance(fs::directory_iterator(image), fs::directory_iterator()), 2);
}

TEST_F(DiscImage, ALetterThatNamesNoDriveFailsWithCodeFour) {
    const std::string source = track("one.flac", 44100, 2, 0.5, "-c:a flac");
    Outcome run = vexactl("Q '" + source + "'");
    EXPECT_EQ(run.exitCode, 1);
    const auto said = progressLines(run.output);
    ASSERT_GE(said.size(), 4u) << run.output;
    EXPECT_EQ(said[0], "started");
    EXPECT_EQ(said[1], "converting track 1");
    EXPECT_EQ(said[said.size() - 2], "burning 0%");
    EXPECT_EQ(said.back(), "failed");
    EXPECT_TRUE(fs::is_empty(tmp));
    EXPECT_TRUE(fs::is_empty(image));
}

TEST_F(DiscImage, RequestCommandsAnswer) {
    const std::string movie = dir / "movie.mp4";
    ASSERT_TRUE(convert_test::run(
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=64x48:duration=0.5 "
        "-f lavfi -i sine=duration=0.5 -c:v mpeg4 -c:a aac '" +
        movie + "'"));
    VexaClient client;
    ASSERT_TRUE(client.start(folder.server())) << client.lastError();
    Reply created = client.call(CMD_BURN_LIST_CREATE, {Value::l('E')});
    ASSERT_TRUE(created.ok());
    const int32_t request = created.number(0);
    struct Add {
        int32_t request;
        std::string file;
        uint32_t answer;
    };
    const Add adds[] = {
        {request, "/music/song.mp3", 0},
        {request, "/music/SONG.FLAC", 0},
        {request, movie, 1},
        {request, "C:\\dir.v2\\file", 1},
        {request, "/music/song.xyz", 1},
        {request + 1, "/music/song.mp3", 1},
    };
    for (const Add& add : adds) {
        SCOPED_TRACE(add.file);
        EXPECT_EQ(
            client.call(CMD_BURN_LIST_ADD, {Value::l(add.request), Value::s(add.file)}).status,
            add.answer);
    }
    auto setValue = [&](int32_t index) {
        return client
            .call(CMD_BURN_LIST_SET_VALUE, {Value::l(request), Value::l(index), Value::l(2)})
            .status;
    };
    EXPECT_EQ(setValue(0), 0u);
    EXPECT_EQ(setValue(255), 0u);
    EXPECT_EQ(setValue(256), 1u);
    EXPECT_EQ(setValue(-1), 1u);

    auto start = [&](int32_t handle) {
        return client
            .call(CMD_BURN_START,
                  {Value::l(handle), Value::l(0), Value::l(0), Value::l(0), Value::l(1)})
            .status;
    };
    Reply empty = client.call(CMD_BURN_LIST_CREATE, {Value::l('E')});
    EXPECT_EQ(start(empty.number(0)), 1u);
    // A disc holds 99 tracks: a request of 100 is refused and starts nothing.
    for (int i = 2; i < 100; ++i) {
        ASSERT_EQ(client.call(CMD_BURN_LIST_ADD, {Value::l(request), Value::s("/m/s.mp3")}).status,
                  0u);
    }
    EXPECT_EQ(start(request), 1u);
    EXPECT_TRUE(fs::is_empty(tmp));
    EXPECT_EQ(client.call(CMD_BURN_LIST_FREE, {Value::l(request)}).status, 0u);
    EXPECT_EQ(client.call(CMD_BURN_LIST_FREE, {Value::l(empty.number(0))}).status, 0u);
    // A freed request is gone.
    EXPECT_EQ(client.call(CMD_BURN_LIST_ADD, {Value::l(request), Value::s("/m/s.mp3")}).status, 1u);
}

TEST_F(DiscImage, FreeingTheRequestAbortsItsBurn) {
    const std::string source = track("long.flac", 44100, 2, 4.0, "-c:a flac");
    VexaClient client;
    ASSERT_TRUE(client.start(folder.server())) << client.lastError();
    std::vector<std::pair<int32_t, int64_t>> statuses;
    client.setEventHandler([&](const ClientEvent& e) {
        if (e.kind == ClientEvent::Kind::kStatus) {
            statuses.emplace_back(e.code, e.value);
        }
    });
    const int32_t request = client.call(CMD_BURN_LIST_CREATE, {Value::l('E')}).number(0);
    ASSERT_EQ(client.call(CMD_BURN_LIST_ADD, {Value::l(request), Value::s(source)}).status, 0u);
    // At 1x the image takes four seconds to write.
    ASSERT_EQ(client
                  .call(CMD_BURN_START,
                        {Value::l(request), Value::l(0), Value::l(0), Value::l(1), Value::l(1)})
                  .status,
              0u);
    auto burning = [&] {
        return std::count(statuses.begin(), statuses.end(), std::pair<int32_t, int64_t>{228, 0}) >
               0;
    };
    ASSERT_TRUE(client.waitFor(burning, std::chrono::seconds(60)));
    client.pump(std::chrono::milliseconds(500));
    EXPECT_EQ(client.call(CMD_BURN_LIST_FREE, {Value::l(request)}).status, 0u);
    // The burn process ends without a word: no 229 or 230; its track files and the image's
    // parts go with it.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((!fs::is_empty(tmp) || !fs::is_empty(image)) &&
           std::chrono::steady_clock::now() < until) {
        client.pump(std::chrono::milliseconds(100));
    }
    client.pump(std::chrono::seconds(1));
    EXPECT_TRUE(fs::is_empty(tmp));
    EXPECT_TRUE(fs::is_empty(image));
    for (const auto& [code, value] : statuses) {
        EXPECT_NE(code, 229);
        EXPECT_NE(code, 230);
    }
}

}  // namespace
}  // namespace vexa
