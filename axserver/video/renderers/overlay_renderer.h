#pragma once
// Shows packed YUV frames through an XVideo port: the frame's bytes go into the port's shared
// image ("YV12" packed two rows at a time, "YUY2"/"UYVY" copied, bytes swapped when the orders
// differ) and the port scales and converts them into the letterboxed rectangle, cut to the
// monitor. The window paints that rectangle in the colour key, so a port that overlays shows
// the video there. A subtitle is drawn on the window over it: black at the eight positions
// around, then in its colour.
//
// Threads and order as VideoRenderer. Error policy: nothing throws; open fails for types the
// overlay does not show, without a port taking "YUY2" or "UYVY", or when the first put fails;
// a failed put later (port or window lost) sets needsReopen.

#include <sonari/video_output.h>

#include <memory>

#include "axserver/video/renderers/overlay_choices.h"
#include "axserver/video/renderers/overlay_rects.h"
#include "axserver/video/renderers/subtitle_painter.h"
#include "axserver/video/renderers/window_format.h"
#include "axserver/video/renderers/xv_port.h"
#include "axserver/video/video_renderer.h"
#include "lib/x11/resources.h"

namespace vexa::video {

class OverlayRenderer final : public VideoRenderer {
  public:
    // opener makes the port at open; tests give a fake.
    explicit OverlayRenderer(XvPortOpener opener = &openXvPort) noexcept;

    bool open(RendererHost& host, int width, int height, std::uint32_t type, int flip,
              double aspect) noexcept override;
    bool needsReopen() const noexcept override { return lost_; }
    bool onPaint() noexcept override;
    void draw(const void* frame) noexcept override;
    void updatePosition() noexcept override;
    void setSubtitle(const void* subtitle) noexcept override;
    void clearSubtitle() noexcept override;
    void setFlip(int flip) noexcept override { flip_ = flip; }

    // The format the port's image has, and the colour key in use; for tests and diagnostics.
    std::uint32_t imageFormat() const noexcept;
    const OverlayKey& key() const noexcept { return key_; }

  private:
    // Every member below is guarded by the video output's lock, under which all calls come.
    // Source and destination (client coordinates) for the window as it is now.
    bool rects(OverlayRects& out) const noexcept;

    XvPortOpener opener_;
    RendererHost* host_ = nullptr;
    ::Display* display_ = nullptr;
    WindowFormat format_;
    int width_ = 0;
    int height_ = 0;
    std::uint32_t type_ = 0;
    int flip_ = 0;
    std::unique_ptr<XvPort> port_;
    PackedImage image_;  // the port's image memory
    OverlayKey key_{};
    kinvo::x11::Gc gc_;
    bool opened_ = false;
    bool opening_ = false;
    bool lost_ = false;
    const SonariSubtitle* subtitle_ = nullptr;  // the plug-in's; read at each paint
    win::RECT textRect_{0, 65536, 0, 65536};
    SubtitlePainter painter_;
};

}  // namespace vexa::video
