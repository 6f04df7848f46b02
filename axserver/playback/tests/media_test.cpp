// Playback of real media inside a real vexahost: the FFmpeg decoder in_av, and the disk writer
// installed under the name of the preferred output, so every track is decoded into a WAV file as
// fast as it goes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "axserver/tests/plugins/fixture/program_folder.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"
#include "plugins/in_av/tests/media.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::ElementsAre;

constexpr auto kGenerous = 20s;

TEST(PlaybackMedia, APlaylistOfThreeFilesPlaysThroughIntoTheDiskWriter) {
    test::isolateProcess();
    testing::ProgramFolder folder;
    folder.copyIn(VEXAHOST_PATH, "vexahost");
    folder.copyIn(IN_AV_PATH, "Plugins/in_av.so");
    folder.copyIn(OUT_QPCM_PATH, "Plugins/out_qsnd.so");
    const std::string pcm = folder.path() + "/pcm";
    fs::create_directory(pcm);
    setenv("KINVO_PCM_DIR", pcm.c_str(), 1);

    kinvo::in_av::testing::MediaFolder media;
    const std::string tone = "-f lavfi -i sine=frequency=440:duration=1 -ac 2 -ar 44100";
    const std::vector<std::string> files = {
        media.make("one.mp3", tone), media.make("two.flac", tone), media.make("three.ogg", tone)};

    VexaClient client;
    std::vector<int32_t> events;
    client.setEventHandler([&](const ClientEvent& e) {
        if (e.kind == ClientEvent::Kind::kEvent) {
            events.push_back(e.code);
        }
    });
    ASSERT_TRUE(client.start(folder.path() + "/vexahost", kGenerous)) << client.lastError();
    for (const auto& file : files) {
        ASSERT_EQ(client.call(CMD_APPEND, {Value::s(file)}).status, kStatusOk);
    }
    events.clear();
    ASSERT_EQ(client.call(CMD_PLAY).status, kStatusOk);
    ASSERT_TRUE(client.waitFor(
        [&] { return std::count(events.begin(), events.end(), kEventTrackEndHandled) == 3; },
        kGenerous));
    client.pump(100ms);
    EXPECT_THAT(events, ElementsAre(4, 2, 4, 1, 2, 4, 1, 1));
    EXPECT_EQ(client.call(CMD_GET_STATE).number(0), 0);
    EXPECT_EQ(client.call(CMD_GET_CURRENT).number(0), 2);
    client.closeWindow();
    client.waitFor([&] { return !client.serverRunning(); }, kGenerous);
    unsetenv("KINVO_PCM_DIR");

    // One file a track, each a second of 16-bit stereo (the lossy ones within a frame), and
    // nothing from the trial open.
    std::vector<fs::path> written(fs::directory_iterator(pcm), fs::directory_iterator{});
    ASSERT_EQ(written.size(), 3u);
    for (const auto& path : written) {
        const auto data = static_cast<int64_t>(fs::file_size(path)) - 44;
        EXPECT_NEAR(data, 44100 * 4, 1152 * 4) << path;
    }
}

}  // namespace
}  // namespace vexa
