#pragma once
// The drawing format of the video window: its visual, depth, colormap and screen, and the pixel
// depth the conversions write for it (8, 15, 16, 24 or 32; 8 stands for "nothing converts").
// Called under the video output's lock; nothing throws.

#include <X11/Xlib.h>

#include "axserver/video/renderer_host.h"
#include "axserver/video/renderers/overlay_choices.h"

namespace vexa::video {

struct WindowFormat {
    ::Window window = 0;
    ::Visual* visual = nullptr;
    int depth = 0;  // the X depth of the window
    int screen = 0;
    ::Colormap colormap = 0;
    int pixelDepth = 8;  // what the conversions write: 8, 15, 16, 24 or 32
    bool trueColor = false;
    PixelMasks masks;
};

// False when the window or the display is gone.
bool readWindowFormat(const RendererHost& host, WindowFormat& format) noexcept;

// The conversions' depth for an X depth drawn at bitsPerPixel: 15 when a 16-bit format's green
// mask is 0x3E0; 8 for anything that is not true colour or not 15, 16, 24 or 32 bits.
int pixelDepth(int depth, int bitsPerPixel, bool trueColor, unsigned long greenMask) noexcept;

}  // namespace vexa::video
