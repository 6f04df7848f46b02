#include "axserver/video/renderers/tests/test_host.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace vexa::video::test {
namespace {

// The renderers are called from two threads on one connection, as in the program.
const bool kThreaded = XInitThreads() != 0;

}  // namespace

TestDisplay::TestDisplay(int depth) {
    (void)kThreaded;
    if (depth == 0) {
        // One connection for the whole run, never closed: closing a connection that drew with
        // Xft leaves XRender's record of it behind, and a later connection that gets the same
        // address then finds no render formats.
        static ::Display* const shared = XOpenDisplay(nullptr);
        display_ = shared;
        shared_ = true;
        return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string screen = "640x480x" + std::to_string(depth);
    const char* argv[] = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                          screen.c_str(), "-nolisten",  "tcp", nullptr};
    const int spawned =
        posix_spawnp(&server_, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        server_ = 0;
        close(fds[0]);
        return;
    }
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (!number.empty()) {
        display_ = XOpenDisplay((":" + number).c_str());
    }
}

TestDisplay::~TestDisplay() {
    if (display_ != nullptr && !shared_) {
        XCloseDisplay(display_);
    }
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

TestHost::TestHost(::Display* display, int width, int height, int streamWidth, int streamHeight)
    : display_(display),
      width_(width),
      height_(height),
      streamWidth_(streamWidth),
      streamHeight_(streamHeight) {
    const int screen = DefaultScreen(display);
    background_ = pixelOf(16, 0, 16);
    ::XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = background_;
    attributes.event_mask = ExposureMask;
    // Tests run side by side on one display, their windows on top of each other: the server
    // keeps what each window was drawn, covered or not, for reading back.
    attributes.backing_store = Always;
    window_ =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, CopyFromParent,
                      InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel | CWEventMask | CWBackingStore, &attributes);
    XMapWindow(display, window_);
    ::XEvent event;
    XWindowEvent(display, window_, ExposureMask, &event);
    XSync(display, False);
}

TestHost::~TestHost() {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
}

unsigned long TestHost::pixelOf(int red, int green, int blue) const {
    ::XColor colour{};
    colour.red = static_cast<unsigned short>(red * 257);
    colour.green = static_cast<unsigned short>(green * 257);
    colour.blue = static_cast<unsigned short>(blue * 257);
    XAllocColor(display_, DefaultColormap(display_, DefaultScreen(display_)), &colour);
    return colour.pixel;
}

bool TestHost::drawable(::Window& window, ::Visual*& visual, int& depth) const noexcept {
    window = window_;
    visual = DefaultVisual(display_, DefaultScreen(display_));
    depth = DefaultDepth(display_, DefaultScreen(display_));
    return true;
}

bool TestHost::clientRect(win::RECT& rect) const noexcept {
    rect = {0, 0, width_, height_};
    return true;
}

win::RECT TestHost::fitPicture(win::RECT rect) const noexcept {
    // The largest rectangle of the stream's shape inside, centred.
    int width = rect.width();
    int height = width * streamHeight_ / streamWidth_;
    if (height > rect.height()) {
        height = rect.height();
        width = height * streamWidth_ / streamHeight_;
    }
    const int left = rect.left + (rect.width() - width) / 2;
    const int top = rect.top + (rect.height() - height) / 2;
    return {left, top, left + width, top + height};
}

void TestHost::invalidate(const win::RECT* rect, bool erase) noexcept {
    const win::RECT whole{0, 0, width_, height_};
    const win::RECT r = rect != nullptr ? *rect : whole;
    invalidated.push_back(r);
    if (erase) {
        XClearArea(display_, window_, r.left, r.top, r.width(), r.height(), False);
    }
}

std::vector<unsigned long> TestHost::pixels() const {
    std::vector<unsigned long> out;
    ::XImage* image = XGetImage(display_, window_, 0, 0, width_, height_, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return out;
    }
    out.reserve(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            out.push_back(XGetPixel(image, x, y));
        }
    }
    XDestroyImage(image);
    return out;
}

}  // namespace vexa::video::test
