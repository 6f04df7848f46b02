#pragma once
// Internal to the conversions: the fixed-point YUV rules and the packing of one colour into a
// surface row at each depth. Everything is branch-free apart from the clamps (min and max), so
// the loops that call these vectorise.

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vexa::pixels::detail {

struct Rgb {
    int r;
    int g;
    int b;
};

// A 16 x 16 -> 32-bit product, which vector units do in one step (a full 32-bit multiply is
// several on SSE2).
inline int mul16(std::int16_t a, std::int16_t b) noexcept {
    return int{a} * int{b};
}

// Studio-range YUV in 16.16 fixed point. du and dv are U - 128 and V - 128 of the pixel's 2 x 2
// block; a result below 1.0 is 0 and one at 256.0 or above is 255. The factors 0x129FB (Y),
// 0x19893 (V to R), 0xD020 (V to G), 0x645A (U to G) and 0x2045A (U to B) are split into whole
// multiples of 0x10000 (shifts) and a 16-bit remainder, which gives the same 32-bit sums.
inline Rgb studioRange(int y, int du, int dv) noexcept {
    const int y16 = y - 16;
    const auto sy = static_cast<std::int16_t>(y16);
    const auto su = static_cast<std::int16_t>(du);
    const auto sv = static_cast<std::int16_t>(dv);
    const int c = y16 * 0x10000 + mul16(sy, 0x29FB);     // 0x129FB x (Y - 16)
    const int r = c + dv * 0x20000 - mul16(sv, 0x676D);  // + 0x19893 x (V - 128)
    const int g = c - dv * 0x10000 + mul16(sv, 0x2FE0) - mul16(su, 0x645A);  // - 0xD020 x ...
    const int b = c + du * 0x20000 + mul16(su, 0x045A);  // + 0x2045A x (U - 128)
    return {std::clamp(r, 0, 0xFFFFFF) >> 16, std::clamp(g, 0, 0xFFFFFF) >> 16,
            std::clamp(b, 0, 0xFFFFFF) >> 16};
}

// Full-range YUV in 8.8 fixed point, with the U and V of the pixel's pair.
inline Rgb fullRange(int y, int du, int dv) noexcept {
    const int c = 256 * y;
    const int r = c + 0x167 * dv;
    const int g = c - 0xB7 * dv - 0x58 * du;
    const int b = c + 0x1C6 * du;
    return {std::clamp(r, 0, 0xFFFF) >> 8, std::clamp(g, 0, 0xFFFF) >> 8,
            std::clamp(b, 0, 0xFFFF) >> 8};
}

// Writes colour c as pixel x of a surface row of the given depth (15, 16, 24 or 32).
template <int Depth>
inline void put(std::uint8_t* row, int x, Rgb c) noexcept {
    if constexpr (Depth == 15 || Depth == 16) {
        const unsigned value = Depth == 15 ? (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3)
                                           : (c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3);
        const std::uint16_t word = static_cast<std::uint16_t>(value);
        std::memcpy(row + 2 * x, &word, 2);
    } else if constexpr (Depth == 24) {
        row[3 * x] = static_cast<std::uint8_t>(c.b);
        row[3 * x + 1] = static_cast<std::uint8_t>(c.g);
        row[3 * x + 2] = static_cast<std::uint8_t>(c.r);
    } else {
        static_assert(Depth == 32);
        // The fourth byte keeps its value: it is read and written back with the colour, which
        // keeps the store one 32-bit word (surfaces are little-endian B, G, R, x).
        std::uint32_t word;
        std::memcpy(&word, row + 4 * x, 4);
        word = (word & 0xFF000000u) | static_cast<std::uint32_t>(c.r) << 16 |
               static_cast<std::uint32_t>(c.g) << 8 | static_cast<std::uint32_t>(c.b);
        std::memcpy(row + 4 * x, &word, 4);
    }
}

// Calls body.template operator()<Depth>() for the surface's depth; false for depths not drawn.
template <typename Body>
inline bool forDepth(int depth, Body&& body) {
    switch (depth) {
        case 15:
            body.template operator()<15>();
            return true;
        case 16:
            body.template operator()<16>();
            return true;
        case 24:
            body.template operator()<24>();
            return true;
        case 32:
            body.template operator()<32>();
            return true;
        default:
            return false;
    }
}

}  // namespace vexa::pixels::detail
