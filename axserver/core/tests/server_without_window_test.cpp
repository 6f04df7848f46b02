// A server whose window cannot be made: it must not run forever without a liveness tick.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "axserver/core/server.h"
#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {
namespace {

// Taking the server's class name first, with a procedure that refuses every window.
win::LRESULT refuseProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message == win::WM_CREATE) {
        return -1;
    }
    return win::defWindowProc(hwnd, message, wParam, lParam);
}

TEST(ServerWithoutWindow, EndsAtOnceWithoutBlockOrTimer) {
    auto runtime =
        std::filesystem::temp_directory_path() / ("vexa-nowin-" + std::to_string(::getpid()));
    std::filesystem::create_directories(runtime);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_TRUE(win::registerClass({kServerClassName, 0, &refuseProc, 0}));
    win::HWND client = win::createWindow(kServerClassName, "");
    ASSERT_EQ(client, 0u) << "the class refuses windows";

    Server server(ProgramPaths{"/nowhere", "/nowhere/tmp"}, 0x40000001);
    server.start(nullptr);
    EXPECT_EQ(server.serverWindow(), 0u);
    EXPECT_FALSE(server.controlBlock().hasView());
    // Without a block, commands that read arguments or write results fail rather than answer a
    // success whose results nobody could read.
    for (int32_t number : {CMD_GET_RESERVED_TEXT, CMD_SET_INSTANCE_TITLE, CMD_GET_INSTANCE,
                           CMD_SET_CROSS_INSTANCE, CMD_SET_PROXY}) {
        EXPECT_EQ(server.handleMessage(0, SRV_COMMAND, 0, number), 1) << number;
    }
    auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(server.run(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
    server.shutdown();
    std::filesystem::remove_all(runtime);
}

}  // namespace
}  // namespace vexa
