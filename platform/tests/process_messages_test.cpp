// Messages between real processes: the test process and copies of win_peer.
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/runtime_dir.h"
#include "platform/tests/peer_protocol.h"
#include "platform/tests/test_pump.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace win {
namespace {

using Clock = std::chrono::steady_clock;
using testing::pumpUntil;

// What the test window has seen; touched only on the test's main thread.
std::vector<MSG> received;
HWND peerForBounce = 0;

LRESULT hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case peer::kDouble:
            return static_cast<LRESULT>(wParam * 2);
        case peer::kBounce:
            // The peer waits for this answer; our send back must run inside its wait.
            return sendMessage(peerForBounce, peer::kAdd, wParam, 1000) + 1;
        default:
            if (message >= WM_USER) {
                received.push_back(MSG{hwnd, message, wParam, lParam, 0});
                return 0;
            }
            return defWindowProc(hwnd, message, wParam, lParam);
    }
}

int countReceived(UINT message) {
    int n = 0;
    for (const MSG& m : received) {
        n += m.message == message ? 1 : 0;
    }
    return n;
}

class Peer {
  public:
    explicit Peer(const std::string& args) {
        auto child = createProcess(WIN_PEER_PATH, args);
        if (child) {
            child_.emplace(std::move(*child));
        }
    }
    ~Peer() { end(); }
    void end() {
        if (child_ && !child_->wait(std::chrono::milliseconds(0))) {
            child_->kill(SIGKILL);
            child_->wait(std::chrono::seconds(30));
        }
    }
    bool started() const { return child_.has_value(); }
    ChildProcess& process() { return *child_; }

  private:
    std::optional<ChildProcess> child_;
};

class ProcessMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        received.clear();
        registerClass(WindowClass{"TestHost", 0, hostProc, 0});
        host_ = createWindow("TestHost");
        ASSERT_NE(host_, 0u);
    }
    void TearDown() override { destroyWindow(host_); }

    // Starts a peer and waits for its `windows` kReady posts; their window handles.
    std::vector<HWND> start(Peer& peer, const std::string& mode, int windows = 1) {
        EXPECT_TRUE(peer.started());
        const std::size_t before = readyHandles().size();
        EXPECT_TRUE(pumpUntil([&] { return readyHandles().size() >= before + windows; }))
            << "peer " << mode << " did not report";
        std::vector<HWND> all = readyHandles();
        return std::vector<HWND>(all.begin() + static_cast<long>(before), all.end());
    }
    static std::vector<HWND> readyHandles() {
        std::vector<HWND> handles;
        for (const MSG& m : received) {
            if (m.message == peer::kReady) {
                handles.push_back(static_cast<HWND>(m.wParam));
            }
        }
        return handles;
    }
    std::string args(const std::string& mode) const { return mode + " " + std::to_string(host_); }

    HWND host_ = 0;
};

TEST_F(ProcessMessages, SendsBothWaysWithReentrancy) {
    Peer p(args("echo"));
    const HWND peerWindow = start(p, "echo").at(0);
    EXPECT_TRUE(isMessageWindowHandle(peerWindow));
    EXPECT_EQ(handleProcess(peerWindow), p.process().pid());
    EXPECT_EQ(getClassName(peerWindow), "PeerEcho");

    EXPECT_EQ(sendMessage(peerWindow, peer::kAdd, 40, 2), 42);
    // We send, the peer sends back while handling it, we answer inside our wait.
    EXPECT_EQ(sendMessage(peerWindow, peer::kAskBack, 21, static_cast<LPARAM>(host_)), 43);

    // The peer starts: it sends to us, we send back to it inside its wait.
    peerForBounce = peerWindow;
    ASSERT_TRUE(postMessage(peerWindow, peer::kStartAsk, 7, static_cast<LPARAM>(host_)));
    ASSERT_TRUE(pumpUntil([] { return countReceived(peer::kResult) == 1; }));
    for (const MSG& m : received) {
        if (m.message == peer::kResult) {
            EXPECT_EQ(m.wParam, 7u + 1000u + 1u);
        }
    }

    LRESULT result = -1;
    EXPECT_TRUE(sendMessageTimeout(peerWindow, peer::kAdd, 1, 1, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(result, 2);

    postMessage(peerWindow, peer::kQuit, 0, 0);
    EXPECT_EQ(p.process().wait(std::chrono::seconds(30)), 0);
    EXPECT_FALSE(isWindow(peerWindow));
    EXPECT_EQ(sendMessage(peerWindow, peer::kAdd, 1, 1), 0);
    EXPECT_FALSE(postMessage(peerWindow, peer::kAdd, 1, 1));
}

TEST_F(ProcessMessages, SendToAPeerThatNeverAnswersTimesOut) {
    Peer p(args("echo"));
    const HWND peerWindow = start(p, "echo").at(0);
    LRESULT result = 99;
    const auto begin = Clock::now();
    EXPECT_FALSE(sendMessageTimeout(peerWindow, peer::kHang, 0, static_cast<LPARAM>(host_),
                                    SMTO_NORMAL, 5000, &result));
    const auto waited = Clock::now() - begin;
    EXPECT_EQ(result, 0);
    EXPECT_GE(waited, std::chrono::milliseconds(5000));
    EXPECT_LT(waited, std::chrono::milliseconds(15000));
    // The hung peer is still there: a time-out is not a death.
    EXPECT_TRUE(isWindow(peerWindow));
}

TEST_F(ProcessMessages, PeerKilledWhileWeWaitFailsTheWaitAtOnce) {
    Peer p(args("echo"));
    const HWND peerWindow = start(p, "echo").at(0);
    const pid_t peerPid = p.process().pid();

    // A second thread with its own window learns that the peer is inside the handler and kills it.
    std::atomic<bool> killerReady{false};
    std::atomic<HWND> killerWindow{0};
    Clock::time_point killedAt{};
    std::thread killer([&] {
        static std::atomic<bool> inHandler{false};
        registerClass(WindowClass{"TestKiller", 0,
                                  [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                                      if (m == peer::kInHandler) {
                                          inHandler = true;
                                      }
                                      return defWindowProc(h, m, w, l);
                                  },
                                  0});
        killerWindow = createWindow("TestKiller");
        killerReady = true;
        if (pumpUntil([] { return inHandler.load(); })) {
            killedAt = Clock::now();
            ::kill(peerPid, SIGKILL);
        }
        destroyWindow(killerWindow);
    });
    while (!killerReady) {
        std::this_thread::yield();
    }
    LRESULT result = 99;
    const bool answered =
        sendMessageTimeout(peerWindow, peer::kHang, 0, static_cast<LPARAM>(killerWindow.load()),
                           SMTO_NORMAL, 120000, &result);
    const auto failedAt = Clock::now();
    killer.join();
    EXPECT_FALSE(answered);
    EXPECT_EQ(result, 0);
    ASSERT_NE(killedAt, Clock::time_point{});
    // At once: far below the time-out of two minutes.
    EXPECT_LT(failedAt - killedAt, std::chrono::seconds(10));
    // The process is a zombie until reaped; the window is gone already.
    EXPECT_TRUE(pumpUntil([&] { return !isWindow(peerWindow); }, std::chrono::seconds(10)));
}

TEST_F(ProcessMessages, PostsFromSeveralThreadsOfAPeerKeepTheirOrder) {
    Peer p(args("echo"));
    const HWND peerWindow = start(p, "echo").at(0);
    constexpr int kThreads = 4, kCount = 2000;
    ASSERT_TRUE(postMessage(peerWindow, peer::kPostBurst, kThreads, kCount));
    ASSERT_TRUE(pumpUntil([] { return countReceived(peer::kBurstDone) == kThreads; },
                          std::chrono::seconds(120)));
    std::map<WPARAM, LPARAM> next;
    for (const MSG& m : received) {
        if (m.message == peer::kSequence) {
            ASSERT_EQ(m.lParam, next[m.wParam]) << "thread " << m.wParam;
            ++next[m.wParam];
        } else if (m.message == peer::kBurstDone) {
            EXPECT_EQ(next[m.wParam], kCount) << "done before all its posts, thread " << m.wParam;
        }
    }
    EXPECT_EQ(next.size(), static_cast<std::size_t>(kThreads));
}

TEST_F(ProcessMessages, EnumWindowsSeesThreeProcessesAndNotAfterTheyEnd) {
    const std::string cls = "PeerEnum" + std::to_string(::getpid());
    auto windowsOfClass = [&] {
        std::multiset<pid_t> owners;
        enumWindows([&](HWND hwnd) {
            if (getClassName(hwnd) == cls) {
                owners.insert(getWindowProcessId(hwnd));
            }
            return true;
        });
        return owners;
    };
    Peer a(args("windows") + " " + cls + " 2");
    Peer b(args("windows") + " " + cls + " 2");
    Peer c(args("windows") + " " + cls + " 2");
    ASSERT_TRUE(pumpUntil([] { return readyHandles().size() == 6; }));
    std::vector<HWND> handles = readyHandles();

    const std::multiset<pid_t> owners = windowsOfClass();
    EXPECT_EQ(owners.size(), 6u);
    for (Peer* p : {&a, &b, &c}) {
        EXPECT_EQ(owners.count(p->process().pid()), 2u);
    }
    // Handle order, the same on every walk.
    std::vector<HWND> first, second;
    enumWindows([&](HWND h) { return first.push_back(h), true; });
    enumWindows([&](HWND h) { return second.push_back(h), true; });
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));
    EXPECT_EQ(first, second);
    // Stopping early.
    int visits = 0;
    enumWindows([&](HWND) { return ++visits < 2; });
    EXPECT_EQ(visits, 2);

    // One ends without cleaning up; its files are stale and are removed when met.
    a.process().kill(SIGKILL);
    for (HWND h : handles) {
        if (handleProcess(h) != a.process().pid()) {
            postMessage(h, peer::kQuit, 0, 0);
        }
    }
    EXPECT_TRUE(b.process().wait(std::chrono::seconds(30)).has_value());
    EXPECT_TRUE(c.process().wait(std::chrono::seconds(30)).has_value());
    EXPECT_TRUE(pumpUntil([&] { return windowsOfClass().empty(); }, std::chrono::seconds(10)));
    const std::string dir = *detail::openRuntimeDir();
    for (HWND h : handles) {
        EXPECT_FALSE(isWindow(h));
        struct stat st {};
        EXPECT_NE(::stat(detail::windowFilePath(dir, h).c_str(), &st), 0) << "left behind";
        EXPECT_NE(::stat(detail::socketPath(dir, handleProcess(h)).c_str(), &st), 0)
            << "socket left behind";
    }
}

TEST_F(ProcessMessages, IsWindowTurnsFalseWithinAMomentOfDeath) {
    Peer p(args("echo"));
    const HWND peerWindow = start(p, "echo").at(0);
    ASSERT_TRUE(isWindow(peerWindow));
    ASSERT_TRUE(p.process().kill(SIGKILL));
    // Not reaped: the process is a zombie, which must count as ended.
    const auto begin = Clock::now();
    while (isWindow(peerWindow) && Clock::now() - begin < std::chrono::seconds(10)) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(isWindow(peerWindow));
    EXPECT_LT(Clock::now() - begin, std::chrono::seconds(5));
}

TEST_F(ProcessMessages, RuntimeFilesAreNotReadableByOthers) {
    const std::string dir = *detail::openRuntimeDir();
    struct stat st {};
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());

    setWindowText(host_, "a title\nwith a line feed");
    ASSERT_EQ(::stat(detail::windowFilePath(dir, host_).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    ASSERT_EQ(::stat(detail::socketPath(dir, ::getpid()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);

    // Another process reads the text back exactly, line feed included.
    const auto file = detail::readWindowFile(dir, host_);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->text, "a title\nwith a line feed");
    EXPECT_EQ(file->className, "TestHost");
    EXPECT_EQ(file->pid, ::getpid());
    EXPECT_TRUE(detail::windowFileLive(*file));
}

}  // namespace
}  // namespace win
