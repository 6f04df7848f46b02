#include "axserver/video/idle_picture.h"

#include <algorithm>
#include <cmath>

namespace vexa::video {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Colour {
    std::uint8_t r, g, b;
};

constexpr Colour kBackground{20, 22, 38};
constexpr Colour kRing{64, 190, 200};
constexpr Colour kMark{240, 244, 250};

IdlePicture filled(Colour colour) {
    IdlePicture picture{kWidth, kHeight, std::vector<std::uint8_t>(kWidth * kHeight * 4)};
    for (size_t i = 0; i < picture.pixels.size(); i += 4) {
        picture.pixels[i] = colour.b;
        picture.pixels[i + 1] = colour.g;
        picture.pixels[i + 2] = colour.r;
    }
    return picture;
}

// Mixes `colour` over the pixel by `cover` (0 to 1): edges are smoothed by their distance.
void blend(IdlePicture& picture, int x, int y, Colour colour, double cover) {
    cover = std::clamp(cover, 0.0, 1.0);
    std::uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
    const auto mix = [cover](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(std::lround(from + (to - from) * cover));
    };
    p[0] = mix(p[0], colour.b);
    p[1] = mix(p[1], colour.g);
    p[2] = mix(p[2], colour.r);
}

// Signed distance from (px, py) to the triangle pointing right (negative inside).
double triangleDistance(double px, double py, double cx, double cy, double size) {
    const double ax = cx - size * 0.45, ay = cy - size * 0.6;
    const double bx = cx - size * 0.45, by = cy + size * 0.6;
    const double tx = cx + size * 0.65, ty = cy;
    // The three edges' outward distances; the largest is the distance to a convex shape.
    const auto edge = [px, py](double x0, double y0, double x1, double y1) {
        const double nx = y0 - y1, ny = x1 - x0;
        const double length = std::hypot(nx, ny);
        return ((px - x0) * nx + (py - y0) * ny) / length;
    };
    return std::max({edge(ax, ay, bx, by), edge(bx, by, tx, ty), edge(tx, ty, ax, ay)});
}

}  // namespace

win::COLORREF IdlePicture::cornerColour() const noexcept {
    if (pixels.size() < 4) {
        return 0;
    }
    return win::rgb(pixels[2], pixels[1], pixels[0]);
}

IdlePicture makeLogoPicture() {
    IdlePicture picture = filled(kBackground);
    const double cx = kWidth / 2.0, cy = kHeight / 2.0;
    const double outer = 70, inner = 58;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double r = std::hypot(px - cx, py - cy);
            const double ring = std::max(r - outer, inner - r);
            if (ring < 1.0) {
                blend(picture, x, y, kRing, 1.0 - ring);
            }
            const double mark = triangleDistance(px, py, cx + 4, cy, 56);
            if (mark < 1.0) {
                blend(picture, x, y, kMark, 1.0 - mark);
            }
        }
    }
    return picture;
}

IdlePicture makeBlankPicture() {
    return filled({0, 0, 0});
}

IdleLayout idleLayout(int clientWidth, int clientHeight, int pictureWidth,
                      int pictureHeight) noexcept {
    IdleLayout layout;
    const int x = (clientWidth - pictureWidth) / 2;
    const int y = (clientHeight - pictureHeight) / 2;
    layout.origin = {x, y};
    layout.strips = {{
        {0, 0, clientWidth, y},
        {0, y + pictureHeight, clientWidth, clientHeight},
        {0, y, x, y + pictureHeight},
        {x + pictureWidth, y, clientWidth, y + pictureHeight},
    }};
    return layout;
}

}  // namespace vexa::video
