// The back end's operations on the image drive: the BIN and CUE a write leaves, its progress and
// pacing, abort, and the calls that fail.
#include <gtest/gtest.h>

#include <unistd.h>

#include <primo/primo_sdk.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "runtimes/primo/backend/session_table.h"

namespace primo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string wavHeader(uint32_t rate, uint32_t dataBytes) {
    auto le32 = [](uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    return "RIFF" + le32(36 + dataBytes) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(2) +
           le32(rate) + le32(rate * 4) + le16(4) + le16(16) + "data" + le32(dataBytes);
}

class ImageDrive : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("primo_test_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir / "image");
    }
    void TearDown() override { fs::remove_all(dir); }

    // A track of `bytes` sample bytes, each byte `fill`.
    std::string track(const std::string& name, uint32_t bytes, char fill, uint32_t rate = 44100) {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << wavHeader(rate, bytes) << std::string(bytes, fill);
        return path;
    }

    uint32_t open(uint32_t letter = 'X') {
        uint32_t handle = 0;
        EXPECT_EQ(table.getHandle(&handle), PRIMO_OK);
        const uint32_t units[] = {letter, PRIMO_UNITS_END};
        EXPECT_EQ(table.newAudio(handle, units), PRIMO_OK);
        return handle;
    }

    // RunningStatus until it stops answering RUNNING; the last answer.
    uint32_t waitEnd(uint32_t handle, uint32_t& done, uint32_t& total) {
        uint32_t answer = PRIMO_RUNNING;
        for (int i = 0; i < 500 && answer == PRIMO_RUNNING; ++i) {
            answer = table.runningStatus(handle, PRIMO_STATUS_QUERY, &done, &total);
            std::this_thread::sleep_for(10ms);
        }
        return answer;
    }

    fs::path dir;
    SessionTable table{{[this](char letter) -> std::optional<std::string> {
                            if (letter == 'X') {
                                return "image:" + (dir / "image").string();
                            }
                            return std::nullopt;
                        },
                        [] { return std::vector<std::string>(); }}};
};

TEST_F(ImageDrive, WritesTracksWithTheirPausesAsCueAndBin) {
    const uint32_t handle = open();
    uint32_t sectors = 0;
    ASSERT_EQ(table.addAudioTrack(handle, track("a.wav", 2352 * 3, 'a').c_str(), 0, &sectors),
              PRIMO_OK);
    EXPECT_EQ(sectors, 3u);
    // A track that ends inside a sector is padded; its pause is two seconds of silence.
    ASSERT_EQ(table.addAudioTrack(handle, track("b.wav", 2352 + 4, 'b').c_str(), 150, &sectors),
              PRIMO_OK);
    EXPECT_EQ(sectors, 2u);
    uint32_t flags = 0;
    uint8_t speeds[128], writeSpeeds[128];
    const uint32_t unit = 'X';
    ASSERT_EQ(table.unitSpeeds(handle, &unit, speeds, writeSpeeds, &flags), PRIMO_OK);
    EXPECT_EQ(flags, PRIMO_UNIT_CHOOSES_SPEED);

    ASSERT_EQ(table.writeAudio(handle, PRIMO_WRITE_DISC_AT_ONCE, PRIMO_SPEED_BEST), PRIMO_OK);
    uint32_t done = 0, total = 0;
    EXPECT_EQ(waitEnd(handle, done, total), PRIMO_OK);
    EXPECT_EQ(total, 3u + 150u + 2u);
    EXPECT_EQ(done, total);
    EXPECT_EQ(table.closeAudio(handle), PRIMO_OK);
    done = 0;
    EXPECT_EQ(table.runningStatus(handle, PRIMO_STATUS_QUERY, &done, &total), PRIMO_OK);
    EXPECT_EQ(done, total);  // the last write's counts stay after close

    std::ifstream binFile(dir / "image" / "disc.bin", std::ios::binary);
    const std::string bin{std::istreambuf_iterator<char>(binFile), {}};
    const std::string expected = std::string(2352 * 3, 'a') + std::string(2352 * 150, '\0') +
                                 std::string(2352 + 4, 'b') + std::string(2352 - 4, '\0');
    EXPECT_TRUE(bin == expected) << bin.size();
    std::ifstream cueFile(dir / "image" / "disc.cue");
    const std::string cue{std::istreambuf_iterator<char>(cueFile), {}};
    EXPECT_EQ(cue,
              "FILE \"disc.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n"
              "    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n"
              "    INDEX 00 00:00:03\n"
              "    INDEX 01 00:02:03\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "image"), fs::directory_iterator()), 2);
}

TEST_F(ImageDrive, PacesBySpeedAndAbortLeavesNothing) {
    const uint32_t handle = open();
    // 150 sectors: two seconds at 1x.
    ASSERT_EQ(table.addAudioTrack(handle, track("a.wav", 2352 * 150, 'a').c_str(), 0, nullptr),
              PRIMO_OK);
    ASSERT_EQ(table.writeAudio(handle, PRIMO_WRITE_TRACK_AT_ONCE, 1), PRIMO_OK);
    std::this_thread::sleep_for(300ms);
    uint32_t done = 0, total = 0;
    EXPECT_EQ(table.runningStatus(handle, PRIMO_STATUS_QUERY, &done, &total), PRIMO_RUNNING);
    EXPECT_EQ(total, 150u);
    EXPECT_LT(done, total);
    table.runningStatus(handle, PRIMO_STATUS_ABORT, &done, &total);
    EXPECT_EQ(waitEnd(handle, done, total), PRIMO_ERROR);
    EXPECT_LT(done, total);
    EXPECT_EQ(table.closeAudio(handle), PRIMO_OK);
    EXPECT_TRUE(fs::is_empty(dir / "image"));
}

TEST_F(ImageDrive, RefusesWhatCannotBeBurned) {
    uint32_t none = 77;
    EXPECT_EQ(table.newAudio(none, nullptr), PRIMO_ERROR);  // no such handle
    EXPECT_EQ(table.runningStatus(none, PRIMO_STATUS_QUERY, nullptr, nullptr), PRIMO_ERROR);
    uint32_t handle = 0;
    ASSERT_EQ(table.getHandle(&handle), PRIMO_OK);
    const uint32_t unmapped[] = {'Q', PRIMO_UNITS_END};
    EXPECT_EQ(table.newAudio(handle, unmapped), PRIMO_ERROR);  // no drive: no optical drives
    EXPECT_EQ(table.addAudioTrack(handle, track("a.wav", 8, 'a').c_str(), 0, nullptr),
              PRIMO_ERROR);  // no session

    handle = open();
    EXPECT_EQ(table.writeAudio(handle, 0, 0), PRIMO_ERROR);  // no tracks
    EXPECT_EQ(table.addAudioTrack(handle, track("r.wav", 8, 'r', 48000).c_str(), 0, nullptr),
              PRIMO_ERROR);  // not CD audio
    EXPECT_EQ(table.addAudioTrack(handle, (dir / "missing.wav").c_str(), 0, nullptr), PRIMO_ERROR);
    fs::remove_all(dir / "image");
    const uint32_t image[] = {'X', PRIMO_UNITS_END};
    EXPECT_EQ(table.newAudio(handle, image), PRIMO_ERROR);  // the folder went
}

}  // namespace
}  // namespace primo
