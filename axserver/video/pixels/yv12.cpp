// "YV12" onto a surface: two source rows and two columns (one U and one V) at a time.
#include <cstddef>

#include "axserver/video/pixels/convert.h"
#include "axserver/video/pixels/store.h"

namespace vexa::pixels {
namespace {

using detail::put;
using detail::studioRange;

// Built for AVX-512 and AVX2 as well as the baseline; the loader picks what the processor runs.
template <int Depth>
__attribute__((target_clones("arch=x86-64-v4", "avx2", "default"))) void blockRow(
    const std::uint8_t* __restrict y0, const std::uint8_t* __restrict y1,
    const std::uint8_t* __restrict u, const std::uint8_t* __restrict v,
    std::uint8_t* __restrict out0, std::uint8_t* __restrict out1, int blocks) noexcept {
    for (int i = 0; i < blocks; ++i) {
        const int du = u[i] - 128;
        const int dv = v[i] - 128;
        put<Depth>(out0, 2 * i, studioRange(y0[2 * i], du, dv));
        put<Depth>(out0, 2 * i + 1, studioRange(y0[2 * i + 1], du, dv));
        put<Depth>(out1, 2 * i, studioRange(y1[2 * i], du, dv));
        put<Depth>(out1, 2 * i + 1, studioRange(y1[2 * i + 1], du, dv));
    }
}

}  // namespace

bool convertYv12(const PlaneTable& planes, bool flip, const Surface& to) noexcept {
    if (planes.y == nullptr || planes.u == nullptr || planes.v == nullptr) {
        return false;
    }
    return detail::forDepth(to.depth, [&]<int Depth>() {
        const int blocks = to.width / 2;
        for (int by = 0; by < to.height / 2; ++by) {
            const std::ptrdiff_t row = 2 * by;
            const std::uint8_t* y0 = planes.y + row * planes.yPitch;
            const std::ptrdiff_t out0 = flip ? to.height - 1 - row : row;
            const std::ptrdiff_t out1 = flip ? out0 - 1 : out0 + 1;
            blockRow<Depth>(y0, y0 + planes.yPitch, planes.u + by * std::ptrdiff_t{planes.uPitch},
                            planes.v + by * std::ptrdiff_t{planes.vPitch},
                            to.pixels + out0 * to.pitch, to.pixels + out1 * to.pitch, blocks);
        }
    });
}

}  // namespace vexa::pixels
