#pragma once
// (module-internal) What an HDC is: a GC on one window, its clip and its pixel layout; the Xft
// draw for text is made on first use. Used by one thread at a time (the one that got it).

#include <X11/Xft/Xft.h>

#include "platform/x11/paint.h"
#include "platform/x11/pixel_format.h"
#include "platform/x11/x_handles.h"

namespace win {

class DeviceContext {
  public:
    ::Display* dpy = nullptr;
    ::Window window = 0;
    ::Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    RECT clip;  // empty: none
    x11::detail::UniqueGc gc;
    x11::detail::UniqueDraw draw;
    x11::detail::PixelFormat format;
    bool trueColour = false;

    // The pixel of a colour; indexed visuals allocate it in the colormap.
    unsigned long pixel(COLORREF colour) const;
    COLORREF colour(unsigned long pixel) const;
};

class Font {
  public:
    x11::detail::UniqueFont font;
};

}  // namespace win
