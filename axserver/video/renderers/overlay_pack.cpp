#include "axserver/video/renderers/overlay_pack.h"

#include <cstring>

namespace vexa::video {

void packYv12(const vexa::pixels::PlaneTable& planes, bool flip, const PackedImage& to) noexcept {
    // Byte positions of Y0, U, Y1, V in a pixel pair.
    const int y0 = to.uyvy ? 1 : 0;
    const int u = to.uyvy ? 0 : 1;
    const int y1 = to.uyvy ? 3 : 2;
    const int v = to.uyvy ? 2 : 3;
    for (int row = 0; row + 1 < to.height; row += 2) {
        const std::uint8_t* luma[2] = {
            planes.y + static_cast<std::ptrdiff_t>(row) * planes.yPitch,
            planes.y + static_cast<std::ptrdiff_t>(row + 1) * planes.yPitch};
        const std::uint8_t* cb = planes.u + static_cast<std::ptrdiff_t>(row / 2) * planes.uPitch;
        const std::uint8_t* cr = planes.v + static_cast<std::ptrdiff_t>(row / 2) * planes.vPitch;
        for (int k = 0; k < 2; ++k) {
            const int target = flip ? to.height - 1 - (row + k) : row + k;
            std::uint8_t* out = to.pixels + static_cast<std::ptrdiff_t>(target) * to.pitch;
            const std::uint8_t* in = luma[k];
            for (int col = 0; col + 1 < to.width; col += 2, out += 4) {
                out[y0] = in[col];
                out[u] = cb[col / 2];
                out[y1] = in[col + 1];
                out[v] = cr[col / 2];
            }
        }
    }
}

void copyPacked(const std::uint8_t* frame, bool frameUyvy, bool flip,
                const PackedImage& to) noexcept {
    const std::size_t rowBytes = static_cast<std::size_t>(to.width) * 2;
    const bool swap = frameUyvy != to.uyvy;
    for (int row = 0; row < to.height; ++row, frame += rowBytes) {
        const int target = flip ? to.height - 1 - row : row;
        std::uint8_t* out = to.pixels + static_cast<std::ptrdiff_t>(target) * to.pitch;
        if (!swap) {
            std::memcpy(out, frame, rowBytes);
            continue;
        }
        for (std::size_t i = 0; i + 1 < rowBytes; i += 2) {
            out[i] = frame[i + 1];
            out[i + 1] = frame[i];
        }
    }
}

void fillBlack(const PackedImage& to) noexcept {
    const std::uint8_t first = to.uyvy ? 0x80 : 0x00;
    const std::uint8_t second = to.uyvy ? 0x00 : 0x80;
    const std::size_t bytes = static_cast<std::size_t>(to.pitch) * to.rows;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        to.pixels[i] = first;
        to.pixels[i + 1] = second;
    }
}

}  // namespace vexa::video
