#pragma once
// What a renderer needs of the video output it draws for: the window, where the window is, the
// letterbox rule, the monitors, and a way to ask for a repaint. The video output implements it
// over the platform's visible windows; tests implement it over a window of their own.
//
// Every call may come from the plug-in's decoding thread or the window thread while the video
// output's lock is held (renderers are only ever called under it); none throws and none sends a
// message to the window thread (so none can wait for the lock's holder).

#include <X11/Xlib.h>

#include "platform/message_types.h"
#include "platform/x11/window_types.h"

namespace vexa::video {

class RendererHost {
  public:
    virtual ~RendererHost() = default;

    // The connection to draw through; null when the display is gone.
    virtual ::Display* display() const noexcept = 0;
    virtual win::HWND window() const noexcept = 0;
    // The window's X11 id, visual and depth; false when the window is gone.
    virtual bool drawable(::Window& window, ::Visual*& visual, int& depth) const noexcept = 0;
    // The inside of the window: (0, 0, width, height); false when the window is gone.
    virtual bool clientRect(win::RECT& rect) const noexcept = 0;
    // The screen position of the inside's top-left corner.
    virtual win::POINT clientOrigin() const noexcept = 0;
    // The letterbox rule: `rect` shrunk to the open stream's displayed shape, centred.
    virtual win::RECT fitPicture(win::RECT rect) const noexcept = 0;
    // The whole rectangle of the monitor nearest to the window, in screen coordinates.
    virtual win::RECT monitorRect() const noexcept = 0;
    // Asks the window thread to repaint (null: all of the inside); with erase the background
    // colour is painted first. Returns at once.
    virtual void invalidate(const win::RECT* rect, bool erase) noexcept = 0;
};

}  // namespace vexa::video
