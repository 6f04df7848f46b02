// The video window of a real vexahost on the test display: a still test pattern played by in_av
// is read back from the window, and the window's commands, events and input are driven as a
// client and the user would (the test's own X11 connection stands for both: it reads pixels,
// makes the window of "another program" and sends the key and button events).
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "axserver/tests/plugins/fixture/program_folder.h"
#include "axserver/video/pixels/convert.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"
#include "plugins/in_av/tests/media.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
constexpr auto kGenerous = 10s;

// Four bands of flat colour, 40 pixels wide each (whole 2 x 2 blocks, so every pixel of a band
// shares its block's chroma).
constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr const char* kBands[] = {"0xC03020", "0x20C040", "0x3050D0", "0xE0E0E0"};

struct Rgb {
    int r, g, b;
};

class XConnection {
  public:
    XConnection() : display_(XOpenDisplay(nullptr)) {}
    ~XConnection() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    ::Display* get() const { return display_; }

    std::vector<Window> children(Window window) const {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<Window> out;
        if (XQueryTree(display_, window, &root, &parent, &list, &count) != 0) {
            out.assign(list, list + count);
            XFree(list);
        }
        return out;
    }
    Window parentOf(Window window) const {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, window, &root, &parent, &list, &count) != 0 && list) {
            XFree(list);
        }
        return parent;
    }
    // The first top-level window (or a direct child of one) with this title.
    Window findByTitle(const std::string& title) const {
        for (Window w : children(DefaultRootWindow(display_))) {
            for (Window candidate : {w}) {
                char* name = nullptr;
                if (XFetchName(display_, candidate, &name) != 0 && name != nullptr) {
                    const bool match = title == name;
                    XFree(name);
                    if (match) {
                        return candidate;
                    }
                }
            }
        }
        return 0;
    }
    // x, y, width, height in root coordinates; nullopt when the window is gone.
    std::optional<XRectangle> geometry(Window window) const {
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, window, &a) == 0) {
            return std::nullopt;
        }
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        return XRectangle{static_cast<short>(x), static_cast<short>(y),
                          static_cast<unsigned short>(a.width),
                          static_cast<unsigned short>(a.height)};
    }
    Rgb pixel(Window window, int x, int y) const {
        XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return {-1, -1, -1};
        }
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                static_cast<int>(p & 0xFF)};
    }
    void key(Window window, KeySym sym, unsigned state) const {
        XKeyEvent e{};
        e.type = KeyPress;
        e.display = display_;
        e.window = window;
        e.root = DefaultRootWindow(display_);
        e.same_screen = True;
        e.state = state;
        e.keycode = XKeysymToKeycode(display_, sym);
        XSendEvent(display_, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&e));
        XFlush(display_);
    }
    void button(Window window, int type, unsigned button, int x, int y) const {
        XButtonEvent e{};
        e.type = type;
        e.display = display_;
        e.window = window;
        e.root = DefaultRootWindow(display_);
        e.same_screen = True;
        e.button = button;
        e.x = x;
        e.y = y;
        e.time = CurrentTime;
        const long mask = type == ButtonPress ? ButtonPressMask : ButtonReleaseMask;
        XSendEvent(display_, window, True, mask, reinterpret_cast<XEvent*>(&e));
        XFlush(display_);
    }

  private:
    ::Display* display_;
};

// The ffmpeg tool's own decoding of the first frame, as YUV 4:2:0 planes.
std::vector<uint8_t> referenceFrame(const std::string& file) {
    const std::string command =
        "ffmpeg -v error -i '" + file + "' -frames:v 1 -f rawvideo -pix_fmt yuv420p -";
    std::vector<uint8_t> bytes(kWidth * kHeight * 3 / 2);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    const size_t got = fread(bytes.data(), 1, bytes.size(), pipe);
    pclose(pipe);
    return got == bytes.size() ? bytes : std::vector<uint8_t>{};
}

// The pattern as the renderer must show it: the reference planes converted by the YUV rule.
std::vector<uint8_t> expectedPicture(const std::vector<uint8_t>& yuv) {
    std::vector<uint8_t> picture(kWidth * kHeight * 4);
    pixels::PlaneTable planes{yuv.data(),
                              kWidth,
                              yuv.data() + kWidth * kHeight,
                              kWidth / 2,
                              yuv.data() + kWidth * kHeight * 5 / 4,
                              kWidth / 2};
    pixels::convertYv12(planes, false, {picture.data(), kWidth, kHeight, kWidth * 4, 32});
    return picture;
}

class VideoWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        if (x_.get() == nullptr) {
            GTEST_SKIP() << "no X display (DISPLAY unset)";
        }
        test::isolateProcess();
        folder_.copyIn(VEXAHOST_PATH, "vexahost");
        folder_.copyIn(IN_AV_PATH, "Plugins/in_av.so");
        // The host plays only with an output; the pattern has no sound for it to write.
        folder_.copyIn(OUT_QPCM_PATH, "Plugins/out_qsnd.so");
        std::string bands;
        for (int i = 0; i < 4; ++i) {
            bands += ",drawbox=x=" + std::to_string(40 * i) +
                     ":y=0:w=40:h=" + std::to_string(kHeight) + ":color=" + kBands[i] + ":t=fill";
        }
        // No sound: the clock paces the pictures, so the pattern stays on screen for the test.
        clip_ = media_.make("pattern.mp4", "-f lavfi -i color=c=black:s=160x120:r=10:d=30" + bands +
                                               " -c:v libx264 -pix_fmt yuv420p");
        client_ = std::make_unique<VexaClient>();
        client_->setEventHandler([this](const ClientEvent& e) {
            if (e.kind == ClientEvent::Kind::kEvent) {
                events_.push_back(e.code);
            } else if (e.kind == ClientEvent::Kind::kStatus) {
                statuses_.emplace_back(e.code, e.value);
            }
        });
        ASSERT_TRUE(client_->start(folder_.path() + "/vexahost", kGenerous))
            << client_->lastError();
        ASSERT_EQ(client_->call(CMD_APPEND, {Value::s(clip_)}).status, kStatusOk);
    }
    void TearDown() override {
        if (client_ && client_->serverProcess() != nullptr) {
            client_->call(CMD_STOP);
            client_->closeWindow();
            client_->waitFor([this] { return !client_->serverRunning(); }, kGenerous);
        }
    }

    ::testing::AssertionResult eventArrived(int32_t code) {
        if (client_->waitFor([&] { return std::count(events_.begin(), events_.end(), code) > 0; },
                             kGenerous)) {
            return ::testing::AssertionSuccess();
        }
        auto failure = ::testing::AssertionFailure() << "no event " << code << "; heard:";
        for (int32_t e : events_) {
            failure << " " << e;
        }
        return failure;
    }
    bool statusArrived(int32_t code, win::LPARAM value) {
        return client_->waitFor(
            [&] {
                return std::count(statuses_.begin(), statuses_.end(),
                                  std::pair<int32_t, win::LPARAM>(code, value)) > 0;
            },
            kGenerous);
    }
    // Pumps the client until the window's pixel at (x, y) is within one step of `want`.
    ::testing::AssertionResult shows(Window window, int x, int y, Rgb want) {
        Rgb got{};
        const bool seen = client_->waitFor(
            [&] {
                got = x_.pixel(window, x, y);
                return std::abs(got.r - want.r) <= 1 && std::abs(got.g - want.g) <= 1 &&
                       std::abs(got.b - want.b) <= 1;
            },
            kGenerous);
        if (seen) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "at (" << x << ", " << y << ") " << got.r << "," << got.g << "," << got.b
               << " instead of " << want.r << "," << want.g << "," << want.b;
    }
    bool hasSize(Window window, int width, int height) {
        return client_->waitFor(
            [&] {
                auto g = x_.geometry(window);
                return g && g->width == width && g->height == height;
            },
            kGenerous);
    }
    // Plays the pattern and checks the middle of each band against the converted reference.
    void expectPattern(Window window, int originX, int originY, double scale = 1) {
        const std::vector<uint8_t> yuv = referenceFrame(clip_);
        ASSERT_FALSE(yuv.empty());
        const std::vector<uint8_t> picture = expectedPicture(yuv);
        for (int band = 0; band < 4; ++band) {
            const int x = 40 * band + 20, y = kHeight / 2;
            const uint8_t* p = &picture[(y * kWidth + x) * 4];
            EXPECT_TRUE(shows(window, originX + static_cast<int>(x * scale),
                              originY + static_cast<int>(y * scale), {p[2], p[1], p[0]}))
                << "band " << band;
        }
    }

    XConnection x_;
    testing::ProgramFolder folder_;
    kinvo::in_av::testing::MediaFolder media_;
    std::string clip_;
    std::unique_ptr<VexaClient> client_;  // made once the process is isolated
    std::vector<int32_t> events_;
    std::vector<std::pair<int32_t, win::LPARAM>> statuses_;
};

TEST_F(VideoWindow, TopLevelWindowShowsThePatternAtItsSizeAndAnswersItsCommands) {
    ASSERT_EQ(client_->call(CMD_SET_VIDEO_PARENT, {Value::l(0)}).status, kStatusOk);
    Window window = 0;
    ASSERT_TRUE(
        client_->waitFor([&] { return (window = x_.findByTitle("QRX Player")) != 0; }, kGenerous));
    ASSERT_EQ(client_->call(CMD_PLAY).status, kStatusOk);
    // Auto-size: the window takes the stream's size and says so.
    ASSERT_TRUE(eventArrived(kEventVideoResized));
    const Reply size = client_->call(CMD_GET_VIDEO_SIZE);
    EXPECT_EQ(size.number(0), kWidth);
    EXPECT_EQ(size.number(1), kHeight);
    ASSERT_TRUE(hasSize(window, kWidth, kHeight));
    expectPattern(window, 0, 0);

    // Letterbox: a wider window shows the picture in the middle between bars of the background.
    XResizeWindow(x_.get(), window, 2 * kWidth + 80, 2 * kHeight);
    XFlush(x_.get());
    ASSERT_TRUE(hasSize(window, 2 * kWidth + 80, 2 * kHeight));
    expectPattern(window, 40, 0, 2);
    EXPECT_TRUE(shows(window, 10, kHeight, {16, 0, 16}));
    EXPECT_TRUE(shows(window, 2 * kWidth + 70, kHeight, {16, 0, 16}));

    // Keys and the right button reach the client as statuses.
    x_.key(window, XK_A, 0);
    EXPECT_TRUE(statusArrived(kStatusVideoKey, 'A'));
    x_.key(window, XK_Escape, 0);
    EXPECT_TRUE(statusArrived(kStatusVideoKey, 0x1B));
    x_.key(window, XK_B, Mod1Mask);
    EXPECT_TRUE(statusArrived(kStatusVideoSystemKey, 'B'));
    x_.button(window, ButtonRelease, Button3, 30, 50);
    EXPECT_TRUE(statusArrived(kStatusVideoRightClick, 30 | (50 << 16)));

    // Full screen covers the monitor, Escape leaves it for the rectangle it had.
    const XRectangle before = *x_.geometry(window);
    ASSERT_EQ(client_->call(CMD_ENTER_FULL_SCREEN).status, kStatusOk);
    ASSERT_TRUE(eventArrived(kEventFullScreenEntered));
    Screen* screen = DefaultScreenOfDisplay(x_.get());
    ASSERT_TRUE(hasSize(window, WidthOfScreen(screen), HeightOfScreen(screen)));
    const size_t keysBefore = statuses_.size();
    x_.key(window, XK_Escape, 0);
    ASSERT_TRUE(eventArrived(kEventFullScreenLeft));
    ASSERT_TRUE(hasSize(window, before.width, before.height));
    const XRectangle after = *x_.geometry(window);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(statuses_.size(), keysBefore) << "Escape in full screen is no key for the client";

    // 737 with no window while a video window exists changes nothing.
    EXPECT_EQ(client_->call(CMD_SET_VIDEO_PARENT, {Value::l(0)}).status, kStatusOk);
    EXPECT_EQ(x_.findByTitle("QRX Player"), window);
}

TEST_F(VideoWindow, ChildOfAnotherProgramsWindowFollowsItsSizeAndSurvivesItsEnd) {
    Display* d = x_.get();
    Window host = XCreateSimpleWindow(d, DefaultRootWindow(d), 50, 50, 400, 300, 0, 0, 0);
    XMapWindow(d, host);
    XSync(d, False);
    ASSERT_EQ(client_->call(CMD_SET_AUTO_SIZE, {Value::l(0)}).status, kStatusOk);
    ASSERT_EQ(client_->call(CMD_SET_VIDEO_PARENT, {Value::l(static_cast<int32_t>(host))}).status,
              kStatusOk);
    std::vector<Window> inside;
    ASSERT_TRUE(client_->waitFor([&] { return !(inside = x_.children(host)).empty(); }, kGenerous));
    const Window video = inside.front();
    ASSERT_TRUE(hasSize(video, 400, 300));
    ASSERT_EQ(client_->call(CMD_PLAY).status, kStatusOk);
    // 400 x 300 is the picture's shape: it fills the window at 2.5 times its size.
    expectPattern(video, 0, 0, 2.5);
    XResizeWindow(d, host, kWidth, kHeight);
    XFlush(d);
    ASSERT_TRUE(hasSize(video, kWidth, kHeight));
    expectPattern(video, 0, 0);

    // The other program's window goes, taking the video window with it: the server goes on, and
    // a window handed after it went is answered with event 11.
    XDestroyWindow(d, host);
    Window gone = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(d, gone);
    XSync(d, False);
    client_->pump(500ms);
    EXPECT_EQ(client_->call(CMD_SET_VIDEO_PARENT, {Value::l(static_cast<int32_t>(gone))}).status,
              kStatusOk);
    EXPECT_TRUE(eventArrived(kEventVideoNotAWindow));
    EXPECT_EQ(client_->call(CMD_GET_STATE).status, kStatusOk);
}

}  // namespace
}  // namespace vexa
