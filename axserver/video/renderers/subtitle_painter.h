#pragma once
// Draws a subtitle record's text with Xft: "Arial", semibold, antialiased, at the height the
// window asks for, first in black at outline offsets, then in the record's colour. Keeps the
// font between paints and makes it again only when the height changes.
//
// Used under the video output's lock like its renderer; nothing throws. The record is read
// during the call only.

#include <X11/Xlib.h>

#include <span>

#include <sonari/video_output.h>

#include "axserver/video/renderers/subtitle_layout.h"
#include "lib/x11/xft.h"
#include "platform/x11/window_types.h"

namespace vexa::video {

class SubtitlePainter {
  public:
    // The font for a window `clientHeight` tall and the record's size adjustment; false when no
    // font can be had.
    bool prepare(::Display* display, int screen, int clientHeight,
                 const SonariSubtitle& subtitle) noexcept;
    // The record's text placed in `area` with the prepared font.
    SubtitlePlacement place(const SonariSubtitle& subtitle, win::RECT area) const noexcept;
    // Draws the text at `placed` on `drawable`: black at each outline offset, then the colour.
    void paint(::Display* display, ::Drawable drawable, ::Visual* visual, ::Colormap colormap,
               const SonariSubtitle& subtitle, const SubtitlePlacement& placed,
               std::span<const win::POINT> outline) noexcept;

  private:
    kinvo::x11::XftFont font_;
    int height_ = 0;  // pixel height font_ was made at
};

}  // namespace vexa::video
