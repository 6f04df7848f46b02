// "RG32" and "RG24" onto a surface: row by row, from the last row up when flipped.
#include <cstddef>
#include <cstring>

#include "axserver/video/pixels/convert.h"
#include "axserver/video/pixels/store.h"

namespace vexa::pixels {
namespace {

using detail::put;

template <int Depth>
void rg32Row(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, int width) noexcept {
    if constexpr (Depth == 32) {
        std::memcpy(out, in, 4 * static_cast<std::size_t>(width));
    } else {
        for (int x = 0; x < width; ++x) {
            put<Depth>(out, x, {in[4 * x + 2], in[4 * x + 1], in[4 * x]});
        }
    }
}

void rg24Row(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, int width) noexcept {
    for (int x = 0; x < width; ++x) {
        put<32>(out, x, {in[3 * x + 2], in[3 * x + 1], in[3 * x]});
    }
}

const std::uint8_t* sourceRow(const std::uint8_t* pixels, std::ptrdiff_t pitch, int row, bool flip,
                              int height) noexcept {
    return pixels + (flip ? height - 1 - row : row) * pitch;
}

}  // namespace

bool convertRg32(const std::uint8_t* pixels, bool flip, const Surface& to) noexcept {
    if (pixels == nullptr) {
        return false;
    }
    return detail::forDepth(to.depth, [&]<int Depth>() {
        const std::ptrdiff_t inPitch = 4 * std::ptrdiff_t{to.width};
        for (int row = 0; row < to.height; ++row) {
            rg32Row<Depth>(sourceRow(pixels, inPitch, row, flip, to.height),
                           to.pixels + std::ptrdiff_t{row} * to.pitch, to.width);
        }
    });
}

bool convertRg24(const std::uint8_t* pixels, bool flip, const Surface& to) noexcept {
    if (pixels == nullptr || to.depth != 32) {
        return false;
    }
    const std::ptrdiff_t inPitch = 3 * std::ptrdiff_t{to.width};
    for (int row = 0; row < to.height; ++row) {
        rg24Row(sourceRow(pixels, inPitch, row, flip, to.height),
                to.pixels + std::ptrdiff_t{row} * to.pitch, to.width);
    }
    return true;
}

}  // namespace vexa::pixels
