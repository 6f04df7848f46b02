// in_av.so and out_qpcm.so in a program folder, loaded and driven by the real input and output
// hosts, with a platform message window as the server window that receives the track end. The
// disk writer is installed as out_qsnd.so, the output the host prefers.
#include <gtest/gtest.h>
#include <sonari/host_messages.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/inputs/tests/recording_client.h"
#include "axserver/outputs/output_plugin_host.h"
#include "axserver/tests/plugins/fixture/program_folder.h"
#include "platform/messages.h"
#include "plugins/in_av/tests/media.h"

namespace kinvo::in_av::testing {
namespace {

using namespace std::chrono_literals;

win::LRESULT serverProc(win::HWND window, win::UINT message, win::WPARAM wParam,
                        win::LPARAM lParam) {
    return win::defWindowProc(window, message, wParam, lParam);
}

// Waits for `message` on the calling thread's queue, for at most `timeout`.
bool waitForMessage(win::HWND window, win::UINT message, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        win::MSG received{};
        if (win::peekMessage(received, window, message, message, win::PM_REMOVE)) {
            return true;
        }
        win::waitMessage(50);
    }
    return false;
}

TEST(InAvInTheHosts, PlaysAFileToItsEndThroughThePreferredOutput) {
    MediaFolder media;
    setenv("KINVO_PCM_DIR", media.path().c_str(), 1);
    const std::string tone = media.make(
        "tone.ogg", "-f lavfi -i sine=duration=2 -ac 2 -c:a libvorbis -metadata title=Tone");

    vexa::testing::ProgramFolder folder;
    folder.copyIn(IN_AV_PATH, "Plugins/in_av.so");
    folder.copyIn(OUT_QPCM_PATH, "Plugins/out_qsnd.so");
    ASSERT_TRUE(win::registerClass({"InAvHostsTest", 0, &serverProc, 0}));
    const win::HWND server = win::createWindow("InAvHostsTest", "");
    ASSERT_NE(server, 0u);
    {
        vexa::testing::RecordingClient client;
        vexa::OutputPluginHost outputs;
        vexa::InputPluginHost inputs(client, outputs);
        outputs.loadAll(folder.path(), server);
        inputs.loadAll(folder.path(), server);
        ASSERT_EQ(inputs.plugins().size(), 1u);
        EXPECT_EQ(outputs.preferredOutput(), "out_qsnd.so");

        std::string title;
        int32_t length = 0;
        ASSERT_TRUE(inputs.fileInfo(tone, title, length));
        EXPECT_EQ(title, "Tone");
        EXPECT_NEAR(length, 2000, 60);
        std::string type;
        EXPECT_EQ(inputs.getExtendedInfo(tone, "type", type, 16), 1);
        EXPECT_EQ(type, "0");

        ASSERT_EQ(inputs.play(tone, 255), 0);
        EXPECT_TRUE(waitForMessage(server, SONARI_MSG_TRACK_END, 30s));
        EXPECT_NEAR(inputs.position(), 2000, 60);
        inputs.stop();
        inputs.unloadAll();
        outputs.unloadAll();
    }
    win::destroyWindow(server);
    win::unregisterClass("InAvHostsTest");
    unsetenv("KINVO_PCM_DIR");
}

}  // namespace
}  // namespace kinvo::in_av::testing
