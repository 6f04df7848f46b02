#pragma once
// Test frames of every type a renderer draws, filled with a fixed pseudo-random pattern or one
// value, and what the conversions make of them.

#include <sonari/video_output.h>

#include <cstdint>
#include <vector>

#include "axserver/video/pixels/convert.h"

namespace vexa::video::test {

struct TestFrame {
    std::uint32_t type = 0;
    int width = 0, height = 0;
    std::vector<std::uint8_t> bytes;  // packed pixels, or the three planes one after another
    SonariPlaneTable planes{};        // for "YV12", into bytes

    const void* data() const {
        return type == vexa::pixels::fourcc("YV12") ? static_cast<const void*>(&planes)
                                                    : bytes.data();
    }
};

// fill < 0: the pseudo-random pattern; otherwise every byte that value.
inline TestFrame makeFrame(std::uint32_t type, int width, int height, int fill = -1) {
    TestFrame f{type, width, height, {}, {}};
    const bool planar = type == vexa::pixels::fourcc("YV12");
    const int bytesPerPixel = type == vexa::pixels::fourcc("RG32") ? 4 : 2;
    const std::size_t size = planar ? static_cast<std::size_t>(width) * height * 3 / 2
                                    : static_cast<std::size_t>(width) * height * bytesPerPixel;
    f.bytes.resize(size);
    std::uint32_t seed = 12345;
    for (auto& b : f.bytes) {
        seed = seed * 1103515245 + 12345;
        b = fill >= 0 ? static_cast<std::uint8_t>(fill) : static_cast<std::uint8_t>(seed >> 16);
    }
    if (planar) {
        const std::uint8_t* y = f.bytes.data();
        const std::uint8_t* u = y + width * height;
        const std::uint8_t* v = u + (width / 2) * (height / 2);
        f.planes = {y, width, u, width / 2, v, width / 2};
    }
    return f;
}

// The frame as the conversions draw it at `depth`, one pixel value per pixel (row after row).
inline std::vector<unsigned long> converted(const TestFrame& f, int depth) {
    const int bytesPerPixel = depth == 32 ? 4 : depth == 24 ? 3 : 2;
    std::vector<std::uint8_t> memory(static_cast<std::size_t>(f.width) * f.height * bytesPerPixel);
    const vexa::pixels::Surface surface{memory.data(), f.width, f.height, f.width * bytesPerPixel,
                                        depth};
    vexa::pixels::convertFrame(f.type, f.data(), false, nullptr, surface);
    std::vector<unsigned long> out;
    for (std::size_t i = 0; i < memory.size(); i += bytesPerPixel) {
        unsigned long value = 0;
        for (int b = std::min(bytesPerPixel, 3) - 1; b >= 0; --b) {
            value = value << 8 | memory[i + b];
        }
        out.push_back(value);
    }
    return out;
}

}  // namespace vexa::video::test
