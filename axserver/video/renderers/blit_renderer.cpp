#include "axserver/video/renderers/blit_renderer.h"

#include <X11/extensions/Xrender.h>

#include <algorithm>
#include <array>

#include "axserver/video/pixels/convert.h"
#include "lib/x11/display_state.h"
#include "lib/x11/error_trap.h"

namespace vexa::video {
namespace {

constexpr std::array<win::POINT, 1> kShadow{{{1, 1}}};

}  // namespace

bool BlitRenderer::open(RendererHost& host, int width, int height, std::uint32_t type, int flip,
                        double /*aspect*/) noexcept {
    host_ = &host;
    display_ = host.display();
    width_ = width;
    height_ = height;
    type_ = type;
    flip_ = flip;
    if (display_ == nullptr || width <= 0 || height <= 0 || !readWindowFormat(host, format_)) {
        return false;
    }
    shared_ = kinvo::x11::ShmImage::create(display_, format_.visual, format_.depth, width, height);
    if (!shared_) {
        plain_ = kinvo::x11::Image::create(display_, format_.visual, format_.depth, width, height);
    }
    ::XImage* image = shared_ ? shared_.get() : plain_.get();
    if (image == nullptr) {
        return false;
    }
    surface_ = {reinterpret_cast<std::uint8_t*>(image->data), width, height, image->bytes_per_line,
                format_.pixelDepth};

    kinvo::x11::ErrorTrap trap(display_);
    gc_ = kinvo::x11::Gc(display_, XCreateGC(display_, format_.window, 0, nullptr));
    int event = 0;
    int error = 0;
    const ::XRenderPictFormat* pictFormat = XRenderQueryExtension(display_, &event, &error)
                                                ? XRenderFindVisualFormat(display_, format_.visual)
                                                : nullptr;
    if (pictFormat != nullptr) {
        pixmap_ = kinvo::x11::Pixmap(
            display_, XCreatePixmap(display_, format_.window, width, height, format_.depth));
        // Edge pixels sample their own colour, not transparent black, when scaled.
        ::XRenderPictureAttributes padded{};
        padded.repeat = RepeatPad;
        source_ = kinvo::x11::Picture(
            display_, XRenderCreatePicture(display_, pixmap_.get(), pictFormat, CPRepeat, &padded));
        windowPicture_ = kinvo::x11::Picture(
            display_, XRenderCreatePicture(display_, format_.window, pictFormat, 0, nullptr));
    }
    if (!trap.finish() || !gc_) {
        return false;
    }
    monitor_ = host.monitorRect();
    return true;
}

void BlitRenderer::draw(const void* frame) noexcept {
    if (surface_.pixels == nullptr || kinvo::x11::displayLost(display_)) {
        needsReopen_ = true;
        return;
    }
    vexa::pixels::convertFrame(type_, frame, flip_ != 0, palette_, surface_);
    present();
}

bool BlitRenderer::onPaint() noexcept {
    if (kinvo::x11::displayLost(display_)) {
        return false;
    }
    present();
    return true;
}

void BlitRenderer::updatePosition() noexcept {
    if (host_ != nullptr && host_->monitorRect() != monitor_) {
        needsReopen_ = true;
    }
}

void BlitRenderer::setSubtitle(const void* subtitle) noexcept {
    subtitle_ = static_cast<const SonariSubtitle*>(subtitle);
}

void BlitRenderer::upload(::Drawable target, int x, int y, int width, int height) noexcept {
    if (shared_) {
        XShmPutImage(display_, target, gc_.get(), shared_.get(), 0, 0, x, y, width, height, False);
    } else {
        XPutImage(display_, target, gc_.get(), plain_.get(), 0, 0, x, y, width, height);
    }
}

void BlitRenderer::composite(::Picture target, const win::RECT& to) noexcept {
    const win::SIZE size{to.width(), to.height()};
    if (size.cx != scaledTo_.cx || size.cy != scaledTo_.cy) {
        // The transform maps destination pixels to source pixels.
        ::XTransform transform{{{XDoubleToFixed(static_cast<double>(width_) / size.cx), 0, 0},
                                {0, XDoubleToFixed(static_cast<double>(height_) / size.cy), 0},
                                {0, 0, XDoubleToFixed(1.0)}}};
        XRenderSetPictureTransform(display_, source_.get(), &transform);
        const bool same = size.cx == width_ && size.cy == height_;
        XRenderSetPictureFilter(display_, source_.get(), same ? FilterNearest : FilterBilinear,
                                nullptr, 0);
        scaledTo_ = size;
    }
    XRenderComposite(display_, PictOpSrc, source_.get(), None, target, 0, 0, 0, 0, to.left, to.top,
                     size.cx, size.cy);
}

bool BlitRenderer::ensureTextPixmap(int width, int height) noexcept {
    if (textPixmap_ && textSize_.cx == width && textSize_.cy == height) {
        return true;
    }
    textPicture_.reset();
    textPixmap_ = kinvo::x11::Pixmap(
        display_, XCreatePixmap(display_, format_.window, width, height, format_.depth));
    const ::XRenderPictFormat* pictFormat = XRenderFindVisualFormat(display_, format_.visual);
    if (!textPixmap_ || pictFormat == nullptr) {
        return false;
    }
    textPicture_ = kinvo::x11::Picture(
        display_, XRenderCreatePicture(display_, textPixmap_.get(), pictFormat, 0, nullptr));
    textSize_ = {width, height};
    return static_cast<bool>(textPicture_);
}

void BlitRenderer::present() noexcept {
    win::RECT client;
    if (host_ == nullptr || surface_.pixels == nullptr || !host_->clientRect(client)) {
        return;
    }
    const win::RECT r = host_->fitPicture(client);
    if (r != presented_) {
        const win::RECT strips[] = {{0, 0, r.left, client.bottom},
                                    {r.right, 0, client.right, client.bottom},
                                    {r.left, 0, r.right, r.top},
                                    {r.left, r.bottom, r.right, client.bottom}};
        for (const win::RECT& strip : strips) {
            if (!strip.empty()) {
                host_->invalidate(&strip, true);
            }
        }
        presented_ = r;
    }
    if (r.empty()) {
        return;
    }
    kinvo::x11::ErrorTrap trap(display_);
    const SonariSubtitle* subtitle = subtitle_;
    const bool text = subtitle != nullptr &&
                      painter_.prepare(display_, format_.screen, client.height(), *subtitle);
    if (source_) {
        upload(pixmap_.get(), 0, 0, width_, height_);
        if (text && ensureTextPixmap(r.width(), r.height())) {
            composite(textPicture_.get(), {0, 0, r.width(), r.height()});
            const SubtitlePlacement placed =
                painter_.place(*subtitle, {0, 0, r.width(), r.height()});
            painter_.paint(display_, textPixmap_.get(), format_.visual, format_.colormap, *subtitle,
                           placed, kShadow);
            XCopyArea(display_, textPixmap_.get(), format_.window, gc_.get(), 0, 0, r.width(),
                      r.height(), r.left, r.top);
        } else {
            composite(windowPicture_.get(), r);
        }
    } else {
        upload(format_.window, r.left, r.top, std::min(width_, r.width()),
               std::min(height_, r.height()));
        if (text) {
            const SubtitlePlacement placed = painter_.place(*subtitle, r);
            painter_.paint(display_, format_.window, format_.visual, format_.colormap, *subtitle,
                           placed, kShadow);
        }
    }
    // The sync also lets the next frame reuse the shared image.
    if (!trap.finish()) {
        needsReopen_ = true;
    }
}

}  // namespace vexa::video
