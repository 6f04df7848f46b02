// "YUY2" and "UYVY" onto a surface: one pixel pair (4 source bytes) at a time, top row first.
#include <cstddef>

#include "axserver/video/pixels/convert.h"
#include "axserver/video/pixels/store.h"

namespace vexa::pixels {
namespace {

using detail::fullRange;
using detail::put;

// Byte offsets of Y0, U, Y1 and V inside a 4-byte pair.
template <int Y0, int U, int Y1, int V, int Depth>
void pairRow(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, int pairs) noexcept {
    for (int i = 0; i < pairs; ++i) {
        const std::uint8_t* pair = in + 4 * i;
        const int du = pair[U] - 128;
        const int dv = pair[V] - 128;
        put<Depth>(out, 2 * i, fullRange(pair[Y0], du, dv));
        put<Depth>(out, 2 * i + 1, fullRange(pair[Y1], du, dv));
    }
}

template <int Y0, int U, int Y1, int V>
bool convertPacked(const std::uint8_t* pixels, const Surface& to) noexcept {
    if (pixels == nullptr) {
        return false;
    }
    return detail::forDepth(to.depth, [&]<int Depth>() {
        const std::ptrdiff_t inPitch = 2 * std::ptrdiff_t{to.width};
        for (int row = 0; row < to.height; ++row) {
            pairRow<Y0, U, Y1, V, Depth>(pixels + row * inPitch, to.pixels + row * to.pitch,
                                         to.width / 2);
        }
    });
}

}  // namespace

bool convertYuy2(const std::uint8_t* pixels, const Surface& to) noexcept {
    return convertPacked<0, 1, 2, 3>(pixels, to);
}

bool convertUyvy(const std::uint8_t* pixels, const Surface& to) noexcept {
    return convertPacked<1, 0, 3, 2>(pixels, to);
}

}  // namespace vexa::pixels
