#include "axserver/video/renderers/overlay_renderer.h"

#include <array>
#include <utility>

#include "axserver/video/pixels/fourcc.h"
#include "lib/x11/display_state.h"
#include "lib/x11/error_trap.h"

namespace vexa::video {
namespace {

constexpr std::array<win::POINT, 8> kOutline{
    {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

}  // namespace

OverlayRenderer::OverlayRenderer(XvPortOpener opener) noexcept : opener_(std::move(opener)) {}

std::uint32_t OverlayRenderer::imageFormat() const noexcept {
    if (!port_) {
        return 0;
    }
    return image_.uyvy ? vexa::pixels::kTypeUyvy : vexa::pixels::kTypeYuy2;
}

bool OverlayRenderer::open(RendererHost& host, int width, int height, std::uint32_t type, int flip,
                           double /*aspect*/) noexcept {
    host_ = &host;
    display_ = host.display();
    width_ = width;
    height_ = height;
    type_ = type;
    flip_ = flip;
    opening_ = true;
    const OverlayFormats candidates = overlayFormats(type);
    if (candidates.count == 0 || display_ == nullptr || width <= 0 || height <= 0 ||
        !readWindowFormat(host, format_) || !opener_) {
        return false;
    }
    port_ = opener_(display_, format_.window);
    if (!port_) {
        return false;
    }
    bool made = false;
    for (int i = 0; i < candidates.count && !made; ++i) {
        const std::uint32_t format = candidates.formats[i];
        image_ = {nullptr, 0, width, height, height, format == vexa::pixels::kTypeUyvy};
        made = port_->offers(format) && port_->createImage(format, width, height, image_);
    }
    if (!made) {
        port_.reset();
        return false;
    }
    key_ = overlayKey(format_.pixelDepth, format_.trueColor ? &format_.masks : nullptr);
    port_->setColorKey(key_.value);  // a port without a key draws the video itself
    gc_ = kinvo::x11::Gc(display_, XCreateGC(display_, format_.window, 0, nullptr));
    fillBlack(image_);
    OverlayRects r;
    if (!gc_ || !rects(r) || !port_->putImage(r.source, r.destination)) {
        port_.reset();
        return false;
    }
    opening_ = false;
    opened_ = true;
    host.invalidate(nullptr, true);
    return true;
}

bool OverlayRenderer::rects(OverlayRects& out) const noexcept {
    win::RECT client;
    if (!host_->clientRect(client)) {
        return false;
    }
    const win::POINT origin = host_->clientOrigin();
    win::RECT screen = host_->fitPicture(client);
    screen = {screen.left + origin.x, screen.top + origin.y, screen.right + origin.x,
              screen.bottom + origin.y};
    out = overlayRects(screen, host_->monitorRect(), width_, height_, 0, 0);
    win::RECT& d = out.destination;
    d = {d.left - origin.x, d.top - origin.y, d.right - origin.x, d.bottom - origin.y};
    return !d.empty() && !out.source.empty();
}

void OverlayRenderer::draw(const void* frame) noexcept {
    if (!opened_ || !port_ || frame == nullptr) {
        return;
    }
    if (kinvo::x11::displayLost(display_)) {
        lost_ = true;
        return;
    }
    if (type_ == vexa::pixels::kTypeYv12) {
        const auto* planes = static_cast<const SonariPlaneTable*>(frame);
        const vexa::pixels::PlaneTable table{planes->y,      planes->yPitch, planes->u,
                                             planes->uPitch, planes->v,      planes->vPitch};
        packYv12(table, flip_ != 0, image_);
    } else {
        copyPacked(static_cast<const std::uint8_t*>(frame), type_ == vexa::pixels::kTypeUyvy,
                   flip_ != 0, image_);
    }
    OverlayRects r;
    if (rects(r) && !port_->putImage(r.source, r.destination)) {
        lost_ = true;
    }
}

bool OverlayRenderer::onPaint() noexcept {
    if (!opened_ || !port_ || kinvo::x11::displayLost(display_)) {
        return false;
    }
    OverlayRects r;
    if (rects(r)) {
        kinvo::x11::ErrorTrap trap(display_);
        XSetForeground(display_, gc_.get(), key_.value);
        XFillRectangle(display_, format_.window, gc_.get(), r.destination.left, r.destination.top,
                       r.destination.width(), r.destination.height());
        trap.finish();
        port_->putImage(r.source, r.destination);
    }
    const SonariSubtitle* subtitle = subtitle_;
    win::RECT client;
    if (subtitle != nullptr && host_->clientRect(client) &&
        painter_.prepare(display_, format_.screen, client.height(), *subtitle)) {
        kinvo::x11::ErrorTrap trap(display_);
        painter_.paint(display_, format_.window, format_.visual, format_.colormap, *subtitle,
                       painter_.place(*subtitle, client), kOutline);
        trap.finish();
    }
    return true;
}

void OverlayRenderer::updatePosition() noexcept {
    if (opened_ && !opening_ && port_) {
        host_->invalidate(nullptr, false);
    }
}

void OverlayRenderer::setSubtitle(const void* subtitle) noexcept {
    subtitle_ = static_cast<const SonariSubtitle*>(subtitle);
    if (host_ == nullptr) {
        return;
    }
    const win::RECT old = textRect_;
    win::RECT client;
    if (!host_->clientRect(client)) {
        return;
    }
    textRect_ = client;
    if (subtitle_ != nullptr &&
        painter_.prepare(display_, format_.screen, client.height(), *subtitle_)) {
        textRect_ = painter_.place(*subtitle_, client).rect;
    }
    // One pixel more on every side for the outline.
    for (const win::RECT& r : {old, textRect_}) {
        const win::RECT grown{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
        host_->invalidate(&grown, true);
    }
}

void OverlayRenderer::clearSubtitle() noexcept {
    subtitle_ = nullptr;
    textRect_.top = 65536;
}

}  // namespace vexa::video
