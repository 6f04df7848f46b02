// Command 240 inside a real vexahost: the download module is in the program's table, so the
// command answers an address instead of "not implemented".
#include <gtest/gtest.h>

#include <chrono>

#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"

namespace vexa {
namespace {

TEST(DownloadProcess, Command240AnswersTheDownloadEntrysAddress) {
    test::isolateProcess();
    test::ProgramFolder folder;
    VexaClient client;
    ASSERT_TRUE(client.start(folder.server(), std::chrono::seconds(20))) << client.lastError();

    const Reply reply = client.call(CMD_GET_DOWNLOADER);
    EXPECT_TRUE(reply.delivered);
    EXPECT_NE(reply.status, 0u);
    EXPECT_NE(reply.status, kStatusNotImplemented);

    client.closeWindow();
    EXPECT_EQ(client.serverProcess()->wait(std::chrono::seconds(20)), std::optional<int>(0));
}

}  // namespace
}  // namespace vexa
