// Starting processes.
#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>

namespace win {
namespace {

using namespace std::chrono_literals;

TEST(CreateProcess, CommandLineIsOneArgument) {
    auto child = createProcess(WIN_PEER_PATH, "exit 7 with several  blanks");
    ASSERT_TRUE(child);
    EXPECT_GT(child->pid(), 0);
    EXPECT_EQ(child->wait(60s), 7);
    EXPECT_EQ(child->wait(0ms), 7);  // the code stays once reaped
    EXPECT_FALSE(child->kill(SIGTERM));
}

TEST(CreateProcess, WaitTimesOutKillEnds) {
    auto child = createProcess(WIN_PEER_PATH, "echo 0");  // serves until told to quit
    ASSERT_TRUE(child);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(child->wait(200ms), std::nullopt);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 200ms);
    EXPECT_TRUE(child->kill(SIGKILL));
    EXPECT_EQ(child->wait(60s), 128 + SIGKILL);
    EXPECT_FALSE(createProcess("/nonexistent/program", ""));
}

TEST(CreateProcess, OwnExecutableAndCommandLineText) {
    EXPECT_EQ(std::filesystem::path(ownExecutablePath()).filename(), "platform_process_test");
    char program[] = "vexahost", a[] = "1234", b[] = "more";
    char* argv[] = {program, a, b, nullptr};
    EXPECT_EQ(commandLineText(3, argv), "1234 more");
    EXPECT_EQ(commandLineText(1, argv), "");
}

}  // namespace
}  // namespace win
