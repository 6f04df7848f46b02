// vexactl as a user runs it: a real vexactl process starting a real vexahost, fed by -e and by
// standard input, its output read line by line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "channel/protocol.h"
#include "control/tests/program_folder.h"
#include "platform/messages.h"

extern char** environ;

namespace vexa {
namespace {

using namespace std::chrono_literals;

// vexactl with pipes on its standard input and output.
class Vexactl {
  public:
    explicit Vexactl(std::vector<std::string> args) {
        int in[2], out[2];
        EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        args.insert(args.begin(), VEXACTL_PATH);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, VEXACTL_PATH, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Vexactl() {
        closeInput();
        ::close(output_);
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    void write(const std::string& text) {
        ASSERT_EQ(::write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void closeInput() {
        if (input_ >= 0) {
            ::close(input_);
            input_ = -1;
        }
    }
    // The next output line; "<timeout>" or "<eof>" when none comes.
    std::string line(std::chrono::milliseconds timeout = 20s) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (true) {
            if (size_t nl = buffer_.find('\n'); nl != std::string::npos) {
                std::string l = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return l;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{output_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return "<timeout>";
            }
            char chunk[4096];
            ssize_t n = ::read(output_, chunk, sizeof chunk);
            if (n <= 0) {
                return "<eof>";
            }
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = 0;
    int input_ = -1;
    int output_ = -1;
    bool exited_ = false;
    std::string buffer_;
};

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

class VexactlTest : public ::testing::Test {
  protected:
    void SetUp() override { test::isolateProcess(); }
    test::ProgramFolder folder_;
};

TEST_F(VexactlTest, ScriptedCommandsPrintTheirAnswersAndTheServerEndsWithVexactl) {
    Vexactl ctl({"--server", folder_.server(), "-e", "raw 749 s \"my player\"", "-e", "raw 750 l 0",
                 "-e", "state", "-e", "raw 749 -", "-e", "raw 736 -", "-e", "quit", "-e", "play"});
    EXPECT_EQ(ctl.line(), "0");
    std::vector<std::string> instance = split(ctl.line());
    ASSERT_EQ(instance.size(), 3u);
    EXPECT_EQ(instance[0], "0");
    EXPECT_EQ(instance[1], "my player");
    win::HWND server = static_cast<win::HWND>(std::stoul(instance[2]));
    EXPECT_EQ(win::getClassName(server), kServerClassName);
    EXPECT_EQ(ctl.line(), "0\t0") << "state: stopped";
    EXPECT_EQ(ctl.line(), "1") << "749 again without its argument";
    EXPECT_EQ(ctl.line(), "0") << "736 is no command: default processing";
    EXPECT_EQ(ctl.line(), "<eof>") << "nothing after quit";
    EXPECT_EQ(ctl.wait(), 0);
    EXPECT_FALSE(win::isWindow(server)) << "vexactl waits for its server to end";
}

TEST_F(VexactlTest, StandardInputWithEventsStatusesAndMetadata) {
    Vexactl ctl({"--server", folder_.server()});
    ctl.write("raw 750 l 0\n");
    std::vector<std::string> instance = split(ctl.line());
    ASSERT_EQ(instance.size(), 3u);
    win::HWND server = static_cast<win::HWND>(std::stoul(instance[2]));

    // Messages posted to the server window come out as they arrive; the metadata line shows
    // what the block holds when it is handled (here the results of 750).
    ASSERT_TRUE(win::postMessage(server, SRV_EVENT, 42, 7));
    ASSERT_TRUE(win::postMessage(server, SRV_STATUS, 223, 9));
    ASSERT_TRUE(win::postMessage(server, SRV_METADATA, 0, 0));
    EXPECT_EQ(ctl.line(), "event\t42\t7");
    EXPECT_EQ(ctl.line(), "status\t223\t9");
    EXPECT_EQ(ctl.line(), "metadata\t\t" + instance[2]);

    ctl.write("wait-event 42 10\nwait-event 42 0.2\nbogus\nseek x\nappend http://h/x\nlist\n");
    EXPECT_EQ(ctl.line(), "0") << "42 arrived before the wait";
    EXPECT_EQ(ctl.line(), "1") << "and was taken by it";
    EXPECT_EQ(ctl.line(), "0") << "append";
    EXPECT_EQ(ctl.line(), "0\t1") << "list: the count";
    EXPECT_EQ(ctl.line(), "0\thttp://h/x\thttp://h/x\t-1") << "list: each entry";

    ASSERT_TRUE(win::postMessage(server, SRV_EVENT, 240, -1));
    ctl.write("wait-event 240 20\n");
    EXPECT_EQ(ctl.line(), "event\t240\t-1");
    EXPECT_EQ(ctl.line(), "0");
    ctl.closeInput();
    EXPECT_EQ(ctl.line(), "<eof>");
    EXPECT_EQ(ctl.wait(), 1) << "the bad lines make the exit code 1";
    EXPECT_FALSE(win::isWindow(server));
}

TEST_F(VexactlTest, AServerThatCannotStartIsReported) {
    Vexactl ctl({"--server", (folder_.dir() / "missing").string(), "-e", "play"});
    EXPECT_EQ(ctl.line(), "<eof>");
    EXPECT_EQ(ctl.wait(), 1);
}

}  // namespace
}  // namespace vexa
