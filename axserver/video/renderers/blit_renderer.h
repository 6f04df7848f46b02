#pragma once
// Shows frames by converting each into an image of the stream's size in the window's own pixel
// format (MIT-SHM when the server has it) and presenting it scaled into the letterboxed
// rectangle with XRender; without XRender the image is put unscaled at the rectangle's corner.
// The strips beside the picture are left to the window's background (erased through the host).
// A subtitle is drawn on a text pixmap of the presented size, black one pixel right and down,
// then in its colour, and the pixmap copied to the window.
//
// Threads and order as VideoRenderer. Error policy: nothing throws; an open that cannot make its
// image fails; an X error while drawing or presenting sets needsReopen, as does the window's
// monitor changing. 8-bit and non-true-colour windows convert nothing (the image keeps what it
// had).

#include <sonari/video_output.h>

#include "axserver/video/pixels/frame.h"
#include "axserver/video/renderers/subtitle_painter.h"
#include "axserver/video/renderers/window_format.h"
#include "axserver/video/video_renderer.h"
#include "lib/x11/image.h"
#include "lib/x11/resources.h"

namespace vexa::video {

class BlitRenderer final : public VideoRenderer {
  public:
    bool open(RendererHost& host, int width, int height, std::uint32_t type, int flip,
              double aspect) noexcept override;
    bool needsReopen() const noexcept override { return needsReopen_; }
    bool onPaint() noexcept override;
    void draw(const void* frame) noexcept override;
    void updatePosition() noexcept override;
    void setPalette(const std::uint8_t* palette) noexcept override { palette_ = palette; }
    void setSubtitle(const void* subtitle) noexcept override;
    void clearSubtitle() noexcept override { subtitle_ = nullptr; }
    void setFlip(int flip) noexcept override { flip_ = flip; }

    // The depth the frames are converted to (8, 15, 16, 24 or 32); for tests and diagnostics.
    int pixelDepth() const noexcept { return format_.pixelDepth; }

  private:
    // Every member below is guarded by the video output's lock, under which all calls come.
    void present() noexcept;
    // Puts the converted image into `target` at (x, y), unscaled.
    void upload(::Drawable target, int x, int y, int width, int height) noexcept;
    // The image scaled into `target` over (x, y, width, height).
    void composite(::Picture target, const win::RECT& to) noexcept;
    bool ensureTextPixmap(int width, int height) noexcept;

    RendererHost* host_ = nullptr;
    ::Display* display_ = nullptr;
    WindowFormat format_;
    int width_ = 0;
    int height_ = 0;
    std::uint32_t type_ = 0;
    int flip_ = 0;
    const std::uint8_t* palette_ = nullptr;     // the plug-in's
    const SonariSubtitle* subtitle_ = nullptr;  // the plug-in's; read at each present
    kinvo::x11::ShmImage shared_;
    kinvo::x11::Image plain_;        // when shared memory cannot be had
    vexa::pixels::Surface surface_;  // over the image in use
    kinvo::x11::Gc gc_;
    // The XRender path: the image's pixmap and pictures; empty without XRender.
    kinvo::x11::Pixmap pixmap_;
    kinvo::x11::Picture source_;
    kinvo::x11::Picture windowPicture_;
    win::SIZE scaledTo_{};  // the size source_'s transform scales to
    kinvo::x11::Pixmap textPixmap_;
    kinvo::x11::Picture textPicture_;
    win::SIZE textSize_{};
    SubtitlePainter painter_;
    win::RECT monitor_{};
    win::RECT presented_{};
    bool needsReopen_ = false;
};

}  // namespace vexa::video
