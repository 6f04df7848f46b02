// "RGB8" onto a surface: each index looked up in the palette; rows arrive bottom-up.
#include <cstddef>

#include "axserver/video/pixels/convert.h"
#include "axserver/video/pixels/store.h"

namespace vexa::pixels {
namespace {

using detail::put;

template <int Depth>
void indexRow(const std::uint8_t* __restrict in, const std::uint8_t* __restrict palette,
              std::uint8_t* __restrict out, int width) noexcept {
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* entry = palette + 4 * in[x];
        put<Depth>(out, x, {entry[2], entry[1], entry[0]});
    }
}

}  // namespace

bool convertRgb8(const std::uint8_t* indices, const std::uint8_t* palette,
                 const Surface& to) noexcept {
    if (indices == nullptr || palette == nullptr) {
        return false;
    }
    return detail::forDepth(to.depth, [&]<int Depth>() {
        const std::ptrdiff_t inPitch = (std::ptrdiff_t{to.width} + 3) & ~std::ptrdiff_t{3};
        for (int row = 0; row < to.height; ++row) {
            indexRow<Depth>(indices + (to.height - 1 - row) * inPitch, palette,
                            to.pixels + std::ptrdiff_t{row} * to.pitch, to.width);
        }
    });
}

}  // namespace vexa::pixels
