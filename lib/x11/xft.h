#pragma once
// Antialiased text through Xft: a font, a drawing target over a drawable, and an allocated
// colour. Move-only owners; destruction gives each back.
//
// Any thread, one owner at a time; the display (and the drawable, visual and colormap given)
// outlive the owners. Nothing throws: failures give empty owners.

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <cstdint>

namespace kinvo::x11 {

class XftFont {
  public:
    XftFont() = default;
    // family resolves through fontconfig ("Arial" reaches its metric twin); pixelSize in pixels;
    // weight as fontconfig counts it (FC_WEIGHT_*). Antialiased.
    static XftFont open(::Display* display, int screen, const char* family, double pixelSize,
                        int weight) noexcept;
    ~XftFont();
    XftFont(XftFont&& other) noexcept;
    XftFont& operator=(XftFont&& other) noexcept;

    explicit operator bool() const noexcept { return font_ != nullptr; }
    ::XftFont* get() const noexcept { return font_; }

  private:
    ::Display* display_ = nullptr;
    ::XftFont* font_ = nullptr;
};

class XftDraw {
  public:
    XftDraw() = default;
    static XftDraw create(::Display* display, ::Drawable drawable, ::Visual* visual,
                          ::Colormap colormap) noexcept;
    ~XftDraw();
    XftDraw(XftDraw&& other) noexcept;
    XftDraw& operator=(XftDraw&& other) noexcept;

    explicit operator bool() const noexcept { return draw_ != nullptr; }
    ::XftDraw* get() const noexcept { return draw_; }

  private:
    ::XftDraw* draw_ = nullptr;
};

class XftColor {
  public:
    XftColor() = default;
    // An opaque colour from 8-bit red, green and blue.
    static XftColor allocate(::Display* display, ::Visual* visual, ::Colormap colormap,
                             std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept;
    ~XftColor();
    XftColor(XftColor&& other) noexcept;
    XftColor& operator=(XftColor&& other) noexcept;

    explicit operator bool() const noexcept { return display_ != nullptr; }
    const ::XftColor* get() const noexcept { return &color_; }

  private:
    void reset() noexcept;

    ::Display* display_ = nullptr;
    ::Visual* visual_ = nullptr;
    ::Colormap colormap_ = 0;
    ::XftColor color_{};
};

}  // namespace kinvo::x11
