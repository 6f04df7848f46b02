#pragma once
// An XVideo port as the overlay renderer uses it: which packed formats it takes, its colour
// key, one shared image, and putting that image into the window. Tests stand a fake in its
// place; openXvPort gives the real one.
//
// Called under the video output's lock from either of its threads, like the renderer itself.
// Nothing throws.

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "axserver/video/renderers/overlay_pack.h"
#include "platform/x11/window_types.h"

namespace vexa::video {

class XvPort {
  public:
    virtual ~XvPort() = default;
    // Whether the port takes images of this packed format (a FOURCC).
    virtual bool offers(std::uint32_t format) const noexcept = 0;
    // Sets the key pixel value; false when the port has no colour key.
    virtual bool setColorKey(unsigned long value) noexcept = 0;
    // Makes the port's one image (replacing an earlier one) of the format and size; fills
    // `image` with its memory (width, height and uyvy are the caller's). False when refused.
    virtual bool createImage(std::uint32_t format, int width, int height,
                             PackedImage& image) noexcept = 0;
    // Shows the image's `source` in the window's `destination` (client coordinates) and waits
    // for the server. False when the port or the window is lost.
    virtual bool putImage(const win::RECT& source, const win::RECT& destination) noexcept = 0;
};

// Makes the port for a window: null when there is none to have.
using XvPortOpener = std::function<std::unique_ptr<XvPort>(::Display*, ::Window)>;

// The first free port of the window's screen that takes images and offers "YUY2" or "UYVY",
// grabbed. Null without XVideo or without such a port.
std::unique_ptr<XvPort> openXvPort(::Display* display, ::Window window) noexcept;

}  // namespace vexa::video
