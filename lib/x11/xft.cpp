#include "lib/x11/xft.h"

#include <utility>

#include "lib/x11/display_state.h"

namespace kinvo::x11 {

XftFont XftFont::open(::Display* display, int screen, const char* family, double pixelSize,
                      int weight) noexcept {
    XftFont result;
    if (display == nullptr || family == nullptr || pixelSize <= 0) {
        return result;
    }
    result.font_ = XftFontOpen(display, screen, XFT_FAMILY, XftTypeString, family, XFT_PIXEL_SIZE,
                               XftTypeDouble, pixelSize, XFT_WEIGHT, XftTypeInteger, weight,
                               XFT_ANTIALIAS, XftTypeBool, True, static_cast<const char*>(nullptr));
    if (result.font_ != nullptr) {
        result.display_ = display;
    }
    return result;
}

XftFont::~XftFont() {
    if (font_ != nullptr && !displayLost(display_)) {
        XftFontClose(display_, font_);
    }
}

XftFont::XftFont(XftFont&& other) noexcept
    : display_(std::exchange(other.display_, nullptr)),
      font_(std::exchange(other.font_, nullptr)) {}

XftFont& XftFont::operator=(XftFont&& other) noexcept {
    if (this != &other) {
        if (font_ != nullptr && !displayLost(display_)) {
            XftFontClose(display_, font_);
        }
        display_ = std::exchange(other.display_, nullptr);
        font_ = std::exchange(other.font_, nullptr);
    }
    return *this;
}

XftDraw XftDraw::create(::Display* display, ::Drawable drawable, ::Visual* visual,
                        ::Colormap colormap) noexcept {
    XftDraw result;
    if (display != nullptr && drawable != 0) {
        result.draw_ = XftDrawCreate(display, drawable, visual, colormap);
    }
    return result;
}

XftDraw::~XftDraw() {
    if (draw_ != nullptr && !displayLost(XftDrawDisplay(draw_))) {
        XftDrawDestroy(draw_);
    }
}

XftDraw::XftDraw(XftDraw&& other) noexcept : draw_(std::exchange(other.draw_, nullptr)) {}

XftDraw& XftDraw::operator=(XftDraw&& other) noexcept {
    if (this != &other) {
        if (draw_ != nullptr && !displayLost(XftDrawDisplay(draw_))) {
            XftDrawDestroy(draw_);
        }
        draw_ = std::exchange(other.draw_, nullptr);
    }
    return *this;
}

XftColor XftColor::allocate(::Display* display, ::Visual* visual, ::Colormap colormap,
                            std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    XftColor result;
    if (display == nullptr || visual == nullptr) {
        return result;
    }
    const ::XRenderColor value{static_cast<unsigned short>(red * 0x101),
                               static_cast<unsigned short>(green * 0x101),
                               static_cast<unsigned short>(blue * 0x101), 0xFFFF};
    if (XftColorAllocValue(display, visual, colormap, &value, &result.color_)) {
        result.display_ = display;
        result.visual_ = visual;
        result.colormap_ = colormap;
    }
    return result;
}

XftColor::~XftColor() {
    reset();
}

XftColor::XftColor(XftColor&& other) noexcept
    : display_(std::exchange(other.display_, nullptr)),
      visual_(other.visual_),
      colormap_(other.colormap_),
      color_(other.color_) {}

XftColor& XftColor::operator=(XftColor&& other) noexcept {
    if (this != &other) {
        reset();
        display_ = std::exchange(other.display_, nullptr);
        visual_ = other.visual_;
        colormap_ = other.colormap_;
        color_ = other.color_;
    }
    return *this;
}

void XftColor::reset() noexcept {
    if (display_ != nullptr) {
        if (!displayLost(display_)) {
            XftColorFree(display_, visual_, colormap_, &color_);
        }
        display_ = nullptr;
    }
}

}  // namespace kinvo::x11
