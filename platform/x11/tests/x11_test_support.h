#pragma once
// What the display tests share: a private Xvfb when a test needs its own screen, a second
// connection that stands for another program, and a window class that records its messages.

// GoogleTest before Xlib: Xlib's None macro would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/tests/test_pump.h"
#include "platform/x11/display.h"
#include "platform/x11/window_types.h"

namespace win::testing {

// An Xvfb of its own at the given depth, made the process's $DISPLAY; ended when it goes.
class PrivateXvfb {
  public:
    explicit PrivateXvfb(int depth) {
        // Servers started at the same moment may pick the same number and take each other's
        // socket: test programs start theirs one at a time.
        const int lock = ::open("/tmp/kinvo-xvfb-start.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock >= 0) {
            ::flock(lock, LOCK_EX);
        }
        start(depth);
        if (lock >= 0) {
            ::close(lock);
        }
    }
    ~PrivateXvfb() { stop(); }
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    bool running() const { return !name_.empty(); }
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    void start(int depth) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return;
        }
        const std::string screen = "640x480x" + std::to_string(depth);
        pid_ = ::fork();
        if (pid_ == 0) {
            if (fds[1] == 3) {
                ::fcntl(3, F_SETFD, 0);
            } else {
                ::dup2(fds[1], 3);
            }
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 2);
            // -noreset: a server that resets when its last client leaves refuses the next one.
            ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten",
                     "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // The display number, one line (it may come in pieces).
        std::string number;
        char c = 0;
        ssize_t n = 0;
        while ((n = ::read(fds[0], &c, 1)) == 1 || (n < 0 && errno == EINTR)) {
            if (n == 1 && c == '\n') {
                break;
            }
            if (n == 1) {
                number += c;
            }
        }
        ::close(fds[0]);
        if (number.empty()) {
            return;
        }
        // Xlib made thread-safe before its first use, as installDisplay would.
        XInitThreads();
        const std::string name = ":" + number;
        for (int tries = 0; tries < 100; ++tries) {
            if (::Display* probe = XOpenDisplay(name.c_str())) {
                XCloseDisplay(probe);
                name_ = name;
                ::setenv("DISPLAY", name_.c_str(), 1);
                return;
            }
            ::usleep(50000);
        }
    }
    pid_t pid_ = -1;
    std::string name_;
};

// Messages a window of the "Recorder" class got, in order (owner thread).
struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
inline std::vector<Received> received;

inline LRESULT recorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({hwnd, message, wParam, lParam});
    return defWindowProc(hwnd, message, wParam, lParam);
}

inline void registerRecorder(const char* name, UINT style, COLORREF background) {
    WindowClass cls;
    cls.name = name;
    cls.style = style;
    cls.proc = recorderProc;
    cls.background = background;
    registerClass(cls);
}

inline HWND makeWindow(const char* cls, UINT style, UINT exStyle = 0, HWND parent = 0,
                       RECT place = {10, 20, 170, 140}) {
    CreateParams params;
    params.className = cls;
    params.windowName = "test window";
    params.style = style;
    params.exStyle = exStyle;
    params.parent = parent;
    params.x = place.left;
    params.y = place.top;
    params.width = place.width();
    params.height = place.height();
    return createWindow(params);
}

inline bool receivedMessage(HWND hwnd, UINT message, Received* out = nullptr) {
    for (const Received& r : received) {
        if (r.hwnd == hwnd && r.message == message) {
            if (out != nullptr) {
                *out = r;
            }
            return true;
        }
    }
    return false;
}

// The display through this process's layer, and a second connection for "another program".
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr || !x11::installDisplay()) {
            GTEST_SKIP() << "no X display at \""
                         << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "")
                         << "\" (./test.sh starts an Xvfb)";
        }
        other_ = XOpenDisplay(nullptr);
        ASSERT_NE(other_, nullptr);
        received.clear();
    }
    void TearDown() override {
        if (other_ != nullptr) {
            XCloseDisplay(other_);
        }
    }

    // A mapped window of "another program".
    ::Window foreignWindow(int width = 300, int height = 200) {
        const ::Window w = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 50, 60,
                                               static_cast<unsigned>(width),
                                               static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(other_, w);
        XSync(other_, False);
        return w;
    }

    std::vector<unsigned long> property(::Window w, const char* name, Atom type) {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> out;
        XGetWindowProperty(other_, w, XInternAtom(other_, name, False), 0, 64, False, type, &actual,
                           &format, &count, &after, &data);
        if (data != nullptr) {
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            if (format == 32) {
                out.assign(items, items + count);
            }
            XFree(data);
        }
        return out;
    }

    Atom atom(const char* name) { return XInternAtom(other_, name, False); }

    // Sends an event to one of our windows as the display would deliver it.
    void send(HWND hwnd, XEvent event, long mask) {
        event.xany.window = hwnd;
        event.xany.display = other_;
        XSendEvent(other_, hwnd, False, mask, &event);
        XSync(other_, False);
    }

    // The pixel of a window as the display has it (0xRRGGBB in the visual's own precision).
    unsigned long pixelAt(HWND hwnd, int x, int y) {
        XImage* image = XGetImage(other_, hwnd, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return ~0ul;
        }
        const unsigned long value = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return value;
    }

    ::Display* other_ = nullptr;
};

// The same on a server of the process's own (X11_TEST_DEPTH bits, default 24), for tests that
// count exposures or read pixels back, which other programs' windows on a shared one would upset.
class PrivateDisplayTest : public DisplayTest {
  protected:
    static int depth() {
        const char* depth = std::getenv("X11_TEST_DEPTH");
        return depth != nullptr ? std::atoi(depth) : 24;
    }
    static void SetUpTestSuite() { xvfb_ = std::make_unique<PrivateXvfb>(depth()); }
    static void TearDownTestSuite() { xvfb_.reset(); }
    void SetUp() override {
        if (!xvfb_->running()) {
            GTEST_SKIP() << "Xvfb cannot be started";
        }
        DisplayTest::SetUp();
    }

    static inline std::unique_ptr<PrivateXvfb> xvfb_;
};

}  // namespace win::testing
