#pragma once
// What the renderer tests stand on: a display (the test display, or a private Xvfb of another
// depth), a RendererHost over a bare window of their own, and reading the window back.

#include <X11/Xlib.h>
#include <sys/types.h>

#include <memory>
#include <ostream>
#include <vector>

#include "axserver/video/renderer_host.h"

namespace win {
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace win

namespace vexa::video::test {

// depth 0: the display DISPLAY names (one connection for the run); otherwise a private Xvfb of that
// depth (killed again at destruction). get() is null when there is none; the test then skips.
class TestDisplay {
  public:
    explicit TestDisplay(int depth);
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;
    ::Display* get() const { return display_; }

  private:
    ::Display* display_ = nullptr;
    pid_t server_ = 0;
    bool shared_ = false;
};

// A mapped window of the default visual, its background RGB(16, 0, 16), showing a stream of
// streamWidth x streamHeight letterboxed at pixel aspect 1. invalidate erases at once.
class TestHost final : public RendererHost {
  public:
    TestHost(::Display* display, int width, int height, int streamWidth, int streamHeight);
    ~TestHost() override;

    ::Display* display() const noexcept override { return display_; }
    win::HWND window() const noexcept override { return 1; }
    bool drawable(::Window& window, ::Visual*& visual, int& depth) const noexcept override;
    bool clientRect(win::RECT& rect) const noexcept override;
    win::POINT clientOrigin() const noexcept override { return origin; }
    win::RECT fitPicture(win::RECT rect) const noexcept override;
    win::RECT monitorRect() const noexcept override { return monitor; }
    void invalidate(const win::RECT* rect, bool erase) noexcept override;

    // The window's pixels as the server holds them, row after row.
    std::vector<unsigned long> pixels() const;
    unsigned long backgroundPixel() const { return background_; }
    // The pixel value of an 8-bit colour in the window's visual.
    unsigned long pixelOf(int red, int green, int blue) const;
    ::Window xwindow() const { return window_; }

    win::POINT origin{0, 0};
    win::RECT monitor{0, 0, 1280, 1024};
    std::vector<win::RECT> invalidated;  // each rectangle invalidated (null: the whole window)

  private:
    ::Display* display_;
    ::Window window_ = 0;
    int width_;
    int height_;
    int streamWidth_;
    int streamHeight_;
    unsigned long background_ = 0;
};

}  // namespace vexa::video::test
