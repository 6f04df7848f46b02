#pragma once
// One way of putting the frames of one open stream on the screen. The video output keeps at most
// one renderer and calls every operation under its lock: open, draw and setSubtitle from the
// plug-in's decoding thread, onPaint, updatePosition and clearSubtitle from the window thread.
// So a renderer needs no lock of its own. No operation throws.
//
// Order: open (once; a renderer whose open failed is destroyed unused) -> any of the others ->
// destructor. After needsReopen answers true the video output destroys the renderer and opens a
// new one with the same stream at the next frame.

#include <cstdint>

#include "axserver/video/renderer_host.h"

namespace vexa::video {

class VideoRenderer {
  public:
    virtual ~VideoRenderer() = default;
    // type is the stream's pixel type (axserver/video/pixels/fourcc.h); aspect its pixel aspect.
    // The host outlives the renderer. False when this renderer cannot show the stream.
    virtual bool open(RendererHost& host, int width, int height, std::uint32_t type, int flip,
                      double aspect) noexcept = 0;
    // True when the renderer lost its surfaces or its monitor.
    virtual bool needsReopen() const noexcept = 0;
    // Inside the window's paint (the video output begins and ends it): true when the renderer
    // painted the window itself.
    virtual bool onPaint() noexcept { return false; }
    // One frame in the layout of the open type (never null).
    virtual void draw(const void* frame) noexcept = 0;
    // The window moved or was resized, or 100 ms passed.
    virtual void updatePosition() noexcept {}
    // 256 entries of B, G, R, unused, kept by the plug-in.
    virtual void setPalette(const std::uint8_t* /*palette*/) noexcept {}
    // A subtitle record (include/sonari/video_output.h), kept by the plug-in; null clears.
    virtual void setSubtitle(const void* /*subtitle*/) noexcept {}
    virtual void clearSubtitle() noexcept {}
    virtual void setFlip(int /*flip*/) noexcept {}
};

}  // namespace vexa::video
