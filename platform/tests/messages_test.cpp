// Windows and queues inside one process: classes, window life, subclassing, order of delivery,
// timers, threads, the queue descriptor and visible windows through the backend seam.
#include "platform/messages.h"
#include "platform/tests/test_pump.h"
#include "platform/window_backend.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace win {
namespace {

using testing::pumpUntil;
constexpr UINT kPing = WM_USER + 1;

// The log of every procedure call on the main thread's test windows.
std::vector<MSG> calls;

LRESULT loggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    calls.push_back(MSG{hwnd, message, wParam, lParam, 0});
    if (message == WM_CREATE && lParam == -7) {
        return -1;
    }
    if (message == kPing) {
        return static_cast<LRESULT>(wParam) + 1;
    }
    return defWindowProc(hwnd, message, wParam, lParam);
}

std::vector<UINT> messagesOf(HWND hwnd) {
    std::vector<UINT> out;
    for (const MSG& m : calls) {
        if (m.hwnd == hwnd) {
            out.push_back(m.message);
        }
    }
    return out;
}

class Messages : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        registerClass(WindowClass{"LogWindow", CS_DBLCLKS, loggingProc, 2});
    }
    void SetUp() override { calls.clear(); }
};

TEST_F(Messages, ClassesAreNamedWithoutRegardToCase) {
    EXPECT_FALSE(registerClass(WindowClass{"logwindow", 0, loggingProc, 0}));
    EXPECT_FALSE(registerClass(WindowClass{"NoProc", 0, nullptr, 0}));
    EXPECT_EQ(createWindow("NoSuchClass"), 0u);
    ASSERT_TRUE(registerClass(WindowClass{"Temporary", 0, loggingProc, 0}));
    const HWND hwnd = createWindow("TEMPORARY");
    ASSERT_NE(hwnd, 0u);
    EXPECT_EQ(getClassName(hwnd), "Temporary");
    EXPECT_EQ(getClassStyle(hwnd), 0u);
    EXPECT_EQ(getClassStyle(createWindow("LogWindow")), CS_DBLCLKS);
    EXPECT_FALSE(unregisterClass("temporary"));  // a window of it still exists
    destroyWindow(hwnd);
    EXPECT_TRUE(unregisterClass("temporary"));
    EXPECT_EQ(createWindow("Temporary"), 0u);
}

TEST_F(Messages, WindowLifeCallsItsProcedureInOrder) {
    CreateParams params;
    params.className = "LogWindow";
    params.windowName = "first";
    params.createParam = 1234;
    const HWND hwnd = createWindow(params);
    ASSERT_NE(hwnd, 0u);
    EXPECT_EQ(hwnd & 0xC0000000u, 0x40000000u);
    EXPECT_EQ(handleProcess(hwnd), ::getpid());
    EXPECT_EQ(getWindowProcessId(hwnd), ::getpid());
    ASSERT_EQ(messagesOf(hwnd), std::vector<UINT>{WM_CREATE});
    EXPECT_EQ(calls[0].lParam, 1234);
    EXPECT_TRUE(isWindow(hwnd));
    EXPECT_EQ(getWindowText(hwnd), "first");
    EXPECT_TRUE(setWindowText(hwnd, "second"));
    EXPECT_EQ(getWindowText(hwnd), "second");

    EXPECT_EQ(setWindowUserData(hwnd, 77), 0);
    EXPECT_EQ(getWindowUserData(hwnd), 77);
    EXPECT_EQ(setWindowValue(hwnd, 1, 5), 0);
    EXPECT_EQ(setWindowValue(hwnd, 1, 6), 5);
    EXPECT_EQ(getWindowValue(hwnd, 1), 6);
    EXPECT_EQ(getWindowValue(hwnd, 0), 0);
    EXPECT_EQ(setWindowValue(hwnd, 2, 9), 0);  // the class has two values
    EXPECT_EQ(getWindowValue(hwnd, 2), 0);

    EXPECT_TRUE(destroyWindow(hwnd));
    EXPECT_EQ(messagesOf(hwnd), (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(isWindow(hwnd));
    EXPECT_FALSE(destroyWindow(hwnd));
    EXPECT_EQ(getWindowText(hwnd), "");
    EXPECT_EQ(getClassName(hwnd), "");
    EXPECT_EQ(sendMessage(hwnd, kPing, 1, 0), 0);
    EXPECT_FALSE(postMessage(hwnd, kPing, 1, 0));

    // WM_CREATE answering -1 refuses the window.
    params.createParam = -7;
    EXPECT_EQ(createWindow(params), 0u);
}

TEST_F(Messages, CloseDestroysThroughTheDefaultProcedure) {
    const HWND hwnd = createWindow("LogWindow");
    EXPECT_EQ(defWindowProc(hwnd, kPing, 0, 0), 0);
    EXPECT_EQ(sendMessage(hwnd, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(isWindow(hwnd));
}

LRESULT subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static_assert(sizeof(WNDPROC) == sizeof(LPARAM));
    const auto previous = reinterpret_cast<WNDPROC>(getWindowUserData(hwnd));
    if (message == kPing) {
        return 100 + callWindowProc(previous, hwnd, message, wParam, lParam);
    }
    return callWindowProc(previous, hwnd, message, wParam, lParam);
}

TEST_F(Messages, SubclassingChainsToThePreviousProcedure) {
    const HWND hwnd = createWindow("LogWindow");
    EXPECT_EQ(sendMessage(hwnd, kPing, 1, 0), 2);
    const WNDPROC previous = setWindowProc(hwnd, subclassProc);
    EXPECT_EQ(previous, &loggingProc);
    EXPECT_EQ(getWindowProc(hwnd), &subclassProc);
    setWindowUserData(hwnd, reinterpret_cast<LPARAM>(previous));
    EXPECT_EQ(sendMessage(hwnd, kPing, 1, 0), 102);
    EXPECT_EQ(setWindowProc(hwnd, previous), &subclassProc);
    EXPECT_EQ(sendMessage(hwnd, kPing, 1, 0), 2);
    EXPECT_EQ(setWindowProc(0x40000000u | 0xFFu, subclassProc), nullptr);
    destroyWindow(hwnd);
}

TEST_F(Messages, QueueDeliversSentThenPostedInOrderThenQuit) {
    const HWND a = createWindow("LogWindow");
    const HWND b = createWindow("LogWindow");
    for (WPARAM i = 0; i < 5; ++i) {
        ASSERT_TRUE(postMessage(i % 2 ? a : b, kPing + 1, i, 0));
    }
    postQuitMessage(3);
    MSG msg;
    // Filters: a window, a range; PM_NOREMOVE leaves the message.
    ASSERT_TRUE(peekMessage(msg, a, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(peekMessage(msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(peekMessage(msg, b, kPing + 2, kPing + 9, PM_NOREMOVE) && msg.message != WM_QUIT);
    std::vector<WPARAM> order;
    while (getMessage(msg, 0, 0, 0) > 0) {
        order.push_back(msg.wParam);
    }
    EXPECT_EQ(order, (std::vector<WPARAM>{0, 2, 3, 4}));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(peekMessage(msg, 0, 0, 0, PM_REMOVE));

    // A message sent by another thread runs before anything posted: waiting delivers it and
    // leaves the posted one in the queue.
    postMessage(a, kPing + 1, 50, 0);
    std::thread sender([&] { EXPECT_EQ(sendMessage(a, kPing, 9, 0), 10); });
    while (messagesOf(a).empty() || messagesOf(a).back() != kPing) {
        ASSERT_TRUE(waitMessage(30000));
    }
    sender.join();
    ASSERT_TRUE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 50u);
    destroyWindow(a);
    destroyWindow(b);
}

TEST_F(Messages, TimersComeWhenDueAndOnlyWhenNothingIsPosted) {
    const HWND hwnd = createWindow("LogWindow");
    EXPECT_EQ(setTimer(hwnd, 0x935, 20), 0x935u);
    EXPECT_EQ(setTimer(hwnd, 7, 60000), 7u);
    MSG msg;
    // Due, but a posted message goes first.
    ASSERT_TRUE(waitMessage(30000));
    while (!peekMessage(msg, 0, WM_TIMER, WM_TIMER, PM_NOREMOVE)) {
        ASSERT_TRUE(waitMessage(30000));
    }
    postMessage(hwnd, kPing, 0, 0);
    ASSERT_TRUE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, kPing);
    ASSERT_TRUE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, 0x935u);
    EXPECT_EQ(msg.lParam, 0);
    // It comes again after its period.
    int ticks = 0;
    ASSERT_TRUE(pumpUntil([&] {
        ticks = 0;
        for (const MSG& m : calls) {
            ticks += m.message == WM_TIMER && m.wParam == 0x935 ? 1 : 0;
        }
        return ticks >= 2;
    }));
    EXPECT_TRUE(killTimer(hwnd, 0x935));
    EXPECT_FALSE(killTimer(hwnd, 0x935));
    // Only the long timer remains: nothing to deliver now.
    while (peekMessage(msg, 0, 0, 0, PM_REMOVE)) {
        EXPECT_NE(msg.wParam, 0x935u);
    }
    EXPECT_FALSE(waitMessage(50));
    // Timers go with their window.
    destroyWindow(hwnd);
    EXPECT_FALSE(killTimer(hwnd, 7));
    EXPECT_EQ(setTimer(hwnd, 1, 10), 0u);
}

// A window on its own thread that answers kPing and, for kPing + 2, sends back to lParam.
struct WorkerWindow {
    std::thread thread;
    std::atomic<HWND> hwnd{0};
    std::atomic<std::thread::id> procThread{};

    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<WorkerWindow*>(getWindowUserData(h));
        if (self != nullptr) {
            self->procThread = std::this_thread::get_id();
        }
        if (m == kPing) {
            return static_cast<LRESULT>(w) + 1;
        }
        if (m == kPing + 2) {
            return sendMessage(static_cast<HWND>(l), kPing, w, 0) * 10;
        }
        if (m == kPing + 3) {
            postQuitMessage(0);
        }
        return defWindowProc(h, m, w, l);
    }

    void start() {
        static const bool registered = registerClass(WindowClass{"WorkerWindow", 0, proc, 0});
        (void)registered;
        thread = std::thread([this] {
            const HWND h = createWindow("WorkerWindow");
            setWindowUserData(h, reinterpret_cast<LPARAM>(this));
            hwnd = h;
            MSG msg;
            while (getMessage(msg, 0, 0, 0) > 0) {
                dispatchMessage(msg);
            }
            destroyWindow(h);
        });
        while (hwnd == 0) {
            std::this_thread::yield();
        }
    }
    void stop() {
        postMessage(hwnd, kPing + 3, 0, 0);
        thread.join();
    }
};

TEST_F(Messages, SendsAcrossThreadsRunOnTheOwnerAndNestWithoutDeadlock) {
    WorkerWindow worker;
    worker.start();
    EXPECT_EQ(sendMessage(worker.hwnd, kPing, 4, 0), 5);
    EXPECT_EQ(worker.procThread.load(), worker.thread.get_id());

    // The worker sends back to us while we wait for it.
    const HWND here = createWindow("LogWindow");
    EXPECT_EQ(sendMessage(worker.hwnd, kPing + 2, 6, static_cast<LPARAM>(here)), 70);
    EXPECT_EQ(messagesOf(here).back(), kPing);

    LRESULT result = 0;
    EXPECT_TRUE(sendMessageTimeout(worker.hwnd, kPing, 1, 0, SMTO_NORMAL, 30000, &result));
    EXPECT_EQ(result, 2);
    worker.stop();
    // Its thread has ended: its window went with it.
    EXPECT_FALSE(isWindow(worker.hwnd));
    EXPECT_FALSE(sendMessageTimeout(worker.hwnd, kPing, 1, 0, SMTO_NORMAL, 1000, &result));
    destroyWindow(here);
}

TEST_F(Messages, PostsFromManyThreadsKeepPerSenderOrder) {
    const HWND hwnd = createWindow("LogWindow");
    constexpr int kThreads = 6, kCount = 3000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([=] {
            for (int i = 0; i < kCount; ++i) {
                EXPECT_TRUE(postMessage(hwnd, kPing + 1, static_cast<WPARAM>(t), i));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::map<WPARAM, LPARAM> next;
    MSG msg;
    int total = 0;
    while (peekMessage(msg, 0, 0, 0, PM_REMOVE)) {
        ASSERT_EQ(msg.lParam, next[msg.wParam]) << "sender " << msg.wParam;
        ++next[msg.wParam];
        ++total;
    }
    EXPECT_EQ(total, kThreads * kCount);
    destroyWindow(hwnd);
}

TEST_F(Messages, QueueDescriptorIsReadableExactlyWhileThereIsWork) {
    const HWND hwnd = createWindow("LogWindow");
    MSG msg;
    while (peekMessage(msg, 0, 0, 0, PM_REMOVE)) {
    }
    pollfd fd{queueDescriptor(), POLLIN, 0};
    EXPECT_EQ(::poll(&fd, 1, 0), 0);
    std::thread([&] { postMessage(hwnd, kPing, 1, 0); }).join();
    EXPECT_EQ(::poll(&fd, 1, 30000), 1);
    ASSERT_TRUE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_FALSE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(::poll(&fd, 1, 0), 0);
    // A due timer makes it readable too.
    setTimer(hwnd, 1, 10);
    EXPECT_EQ(::poll(&fd, 1, 30000), 1);
    ASSERT_TRUE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    destroyWindow(hwnd);
}

LRESULT postsToItselfProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
        postMessage(hwnd, kPing + 1, wParam, 0);
        return 1;
    }
    return defWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(Messages, APostMadeWhileWaitingForASendWakesTheDescriptor) {
    registerClass(WindowClass{"PostsToItself", 0, postsToItselfProc, 0});
    const HWND here = createWindow("PostsToItself");
    WorkerWindow worker;
    worker.start();
    MSG msg;
    while (peekMessage(msg, 0, 0, 0, PM_REMOVE)) {
    }
    // The worker sends kPing to `here` while we wait; its procedure posts to its own thread.
    EXPECT_EQ(sendMessage(worker.hwnd, kPing + 2, 3, static_cast<LPARAM>(here)), 10);
    pollfd fd{queueDescriptor(), POLLIN, 0};
    EXPECT_EQ(::poll(&fd, 1, 0), 1) << "an outside loop would never look";
    ASSERT_TRUE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, kPing + 1);
    EXPECT_EQ(msg.wParam, 3u);
    worker.stop();
    destroyWindow(here);
}

TEST_F(Messages, QueueSourcesRunOnTheirThreadWhileItPumps) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int runs = 0;
    const HWND hwnd = createWindow("LogWindow");
    ASSERT_TRUE(addQueueSource(fds[0], [&] {
        char c;
        if (::read(fds[0], &c, 1) == 1) {
            ++runs;
            postMessage(hwnd, kPing, static_cast<WPARAM>(c), 0);
        }
    }));
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    MSG msg;
    ASSERT_EQ(getMessage(msg, 0, 0, 0), 1);
    EXPECT_EQ(msg.message, kPing);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('x'));
    EXPECT_EQ(runs, 1);
    removeQueueSource(fds[0]);
    ASSERT_EQ(::write(fds[1], "y", 1), 1);
    EXPECT_FALSE(peekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(runs, 1);
    ::close(fds[0]);
    ::close(fds[1]);
    destroyWindow(hwnd);
}

TEST_F(Messages, HandleNumbersRunOutAndAreNotReusedAtOnce) {
    std::vector<HWND> made;
    for (;;) {
        const HWND hwnd = createWindow("LogWindow");
        if (hwnd == 0) {
            break;
        }
        made.push_back(hwnd);
        ASSERT_LE(made.size(), 256u);
    }
    EXPECT_GT(made.size(), 200u);  // other tests of this process may hold a few
    EXPECT_EQ(std::set<HWND>(made.begin(), made.end()).size(), made.size());
    const HWND freed = made.back();
    destroyWindow(freed);
    made.pop_back();
    destroyWindow(made.back());
    made.pop_back();
    const HWND next = createWindow("LogWindow");
    EXPECT_NE(next, 0u);
    made.push_back(next);
    for (HWND hwnd : made) {
        destroyWindow(hwnd);
    }
    // After a full round, fresh handles again.
    const HWND again = createWindow("LogWindow");
    EXPECT_NE(again, 0u);
    destroyWindow(again);
}

struct FakeDisplay {
    std::vector<std::string> texts;
    int destroyed = 0;
    int validated = 0;
};
FakeDisplay display;

class FakeBackend : public WindowBackend {
  public:
    void textChanged(std::string_view text) override { display.texts.emplace_back(text); }
    void destroyed() noexcept override { ++display.destroyed; }
    void validate() noexcept override { ++display.validated; }
};

TEST_F(Messages, VisibleWindowsAreWindowsOfTheSameLayer) {
    CreateParams params;
    params.className = "LogWindow";
    params.style = 0x10000000;            // any style other than message-only
    EXPECT_EQ(createWindow(params), 0u);  // no display backend installed

    setVisibleWindowFactory([](const CreateParams& p) {
        VisibleWindow visible;
        visible.hwnd = 0x00200001;
        visible.backend = std::make_unique<FakeBackend>();
        visible.topLevel = p.parent == 0;
        return visible;
    });
    params.windowName = "video";
    const HWND hwnd = createWindow(params);
    ASSERT_EQ(hwnd, 0x00200001u);
    EXPECT_FALSE(isMessageWindowHandle(hwnd));
    EXPECT_EQ(getWindowText(hwnd), "video");
    EXPECT_EQ(sendMessage(hwnd, kPing, 1, 0), 2);
    postMessage(hwnd, WM_RBUTTONUP, 0, (20 << 16) | 10);
    MSG msg;
    ASSERT_TRUE(peekMessage(msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_RBUTTONUP);
    setWindowText(hwnd, "renamed");
    EXPECT_EQ(display.texts, std::vector<std::string>{"renamed"});
    // Paints coalesce, come after posted messages and stay until defWindowProc validates.
    EXPECT_TRUE(setPaintPending(hwnd, true));
    EXPECT_TRUE(setPaintPending(hwnd, true));
    postMessage(hwnd, WM_USER, 0, 0);
    std::vector<UINT> seen;
    for (int i = 0; i < 3 && peekMessage(msg, hwnd, 0, 0, PM_REMOVE); ++i) {
        seen.push_back(msg.message);
    }
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER, WM_PAINT, WM_PAINT}));
    defWindowProc(hwnd, WM_PAINT, 0, 0);
    EXPECT_EQ(display.validated, 1);
    EXPECT_FALSE(peekMessage(msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_FALSE(setPaintPending(0x00200002, true));  // not a visible window of ours
    // Other programs' display windows are known through the probe.
    EXPECT_FALSE(isWindow(0x00300001));
    setForeignWindowProbe([](HWND h) { return h == 0x00300001; });
    EXPECT_TRUE(isWindow(0x00300001));
    setForeignWindowProbe(nullptr);
    bool listed = false;
    enumWindows([&](HWND h) { return listed = listed || h == hwnd, true; });
    EXPECT_TRUE(listed);
    // The display id is held: a second window with it is refused.
    EXPECT_EQ(createWindow(params), 0u);
    EXPECT_TRUE(destroyWindow(hwnd));
    EXPECT_EQ(display.destroyed, 2);  // the refused one and this one
    setVisibleWindowFactory(nullptr);
}

}  // namespace
}  // namespace win
