// The pixel conversions against a slow per-pixel reference written from the formulas, for every
// frame type at every surface depth, flipped and not, at even and odd sizes.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "axserver/video/pixels/convert.h"
#include "axserver/video/pixels/fourcc.h"

namespace vexa::pixels {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Colour = std::array<int, 3>;  // R, G, B

Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

int fixedPoint(long long value, int shift) {
    if (value < (1LL << shift)) {
        return 0;
    }
    if (value >= (256LL << shift)) {
        return 255;
    }
    return static_cast<int>(value >> shift);
}

Colour ruleA(int y, int u, int v) {
    const long long c = 0x129FBLL * (y - 16);
    return {fixedPoint(c + 0x19893LL * (v - 128), 16),
            fixedPoint(c - 0xD020LL * (v - 128) - 0x645ALL * (u - 128), 16),
            fixedPoint(c + 0x2045ALL * (u - 128), 16)};
}

Colour ruleB(int y, int u, int v) {
    const long long c = 256LL * y;
    return {fixedPoint(c + 0x167LL * (v - 128), 8),
            fixedPoint(c - 0xB7LL * (v - 128) - 0x58LL * (u - 128), 8),
            fixedPoint(c + 0x1C6LL * (u - 128), 8)};
}

int bytesPerPixel(int depth) {
    return depth == 15 ? 2 : depth / 8;
}

void store(Bytes& surface, int pitch, int depth, int x, int row, Colour c) {
    std::uint8_t* p = surface.data() + row * pitch + x * bytesPerPixel(depth);
    const auto [r, g, b] = c;
    int word = 0;
    switch (depth) {
        case 15:
            word = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
            break;
        case 16:
            word = (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
            break;
        default:
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
            return;
    }
    p[0] = static_cast<std::uint8_t>(word & 0xFF);
    p[1] = static_cast<std::uint8_t>(word >> 8);
}

// One frame of each type at a given size, with its plane table where it has one.
struct Frame {
    std::uint32_t type;
    int width;
    int height;
    Bytes y, u, v, pixels, palette;
    int yPitch = 0, uPitch = 0;
    PlaneTable planes;

    Frame(std::uint32_t t, int w, int h, bool withPalette) : type(t), width(w), height(h) {
        yPitch = w + 5;  // planes wider than the picture, as decoders hand them
        uPitch = (w + 1) / 2 + 3;
        y = randomBytes(yPitch * h, 1);
        u = randomBytes(uPitch * ((h + 1) / 2), 2);
        v = randomBytes(uPitch * ((h + 1) / 2), 3);
        planes = {y.data(), yPitch, u.data(), uPitch, v.data(), uPitch};
        pixels = randomBytes(4 * w * h, 4);  // enough for every packed type
        if (withPalette) {
            palette = randomBytes(kPaletteBytes, 5);
        }
    }
    const void* data() const {
        return type == kTypeYv12 ? static_cast<const void*>(&planes) : pixels.data();
    }
    const std::uint8_t* paletteOrNull() const { return palette.empty() ? nullptr : palette.data(); }
};

// What the surface should hold after the conversion, pixel by pixel.
bool reference(const Frame& f, bool flip, int depth, int pitch, Bytes& surface) {
    const int w = f.width, h = f.height;
    if (bytesPerPixel(depth) < 2 || depth > 32 || (f.type == kTypeRg24 && depth != 32) ||
        (f.type == kTypeRgb8 && f.palette.empty())) {
        return false;
    }
    for (int row = 0; row < h; ++row) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* px = f.pixels.data();
            const int flipped = flip ? h - 1 - row : row;
            if (f.type == kTypeYv12) {
                if (row >= h - h % 2 || x >= w - w % 2) {
                    continue;
                }
                store(surface, pitch, depth, x, flipped,
                      ruleA(f.y[row * f.yPitch + x], f.u[row / 2 * f.uPitch + x / 2],
                            f.v[row / 2 * f.uPitch + x / 2]));
            } else if (f.type == kTypeYuy2 || f.type == kTypeUyvy) {
                if (x >= w - w % 2) {
                    continue;
                }
                const std::uint8_t* pair = px + row * 2 * w + x / 2 * 4;
                const bool yuy2 = f.type == kTypeYuy2;
                const int y = yuy2 ? pair[x % 2 * 2] : pair[x % 2 * 2 + 1];
                store(surface, pitch, depth, x, row,
                      ruleB(y, pair[yuy2 ? 1 : 0], pair[yuy2 ? 3 : 2]));
            } else if (f.type == kTypeRg32) {
                const std::uint8_t* p = px + flipped * 4 * w + 4 * x;
                store(surface, pitch, depth, x, row, {p[2], p[1], p[0]});
                if (depth == 32) {
                    surface[row * pitch + 4 * x + 3] = p[3];
                }
            } else if (f.type == kTypeRg24) {
                const std::uint8_t* p = px + flipped * 3 * w + 3 * x;
                store(surface, pitch, depth, x, row, {p[2], p[1], p[0]});
            } else if (f.type == kTypeRgb8) {
                const std::uint8_t* e =
                    f.palette.data() + 4 * px[(h - 1 - row) * ((w + 3) / 4 * 4) + x];
                store(surface, pitch, depth, x, row, {e[2], e[1], e[0]});
            } else {
                return false;
            }
        }
    }
    return true;
}

const std::array kTypes{kTypeYv12, kTypeYuy2, kTypeUyvy, kTypeRg32,
                        kTypeRg24, kTypeRgb8, kTypeNone};

std::string typeName(std::uint32_t type) {
    return {static_cast<char>(type), static_cast<char>(type >> 8), static_cast<char>(type >> 16),
            static_cast<char>(type >> 24)};
}

using Case = std::tuple<std::uint32_t, int, bool, std::pair<int, int>, bool>;
class Conversion : public ::testing::TestWithParam<Case> {};

TEST_P(Conversion, MatchesTheReferenceAndLeavesTheRestAlone) {
    const auto [type, depth, flip, size, withPalette] = GetParam();
    const Frame frame(type, size.first, size.second, withPalette);
    const int pitch = frame.width * 4 + 3;  // padding after each row, rows not word-aligned
    Bytes actual = randomBytes(pitch * frame.height, 6);
    Bytes expected = actual;
    const bool drawn = reference(frame, flip, depth, pitch, expected);
    const Surface surface{actual.data(), frame.width, frame.height, pitch, depth};

    EXPECT_EQ(convertFrame(type, frame.data(), flip, frame.paletteOrNull(), surface), drawn);
    EXPECT_EQ(actual, expected);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    const auto& [type, depth, flip, size, withPalette] = info.param;
    return typeName(type) + "_" + std::to_string(depth) + (flip ? "_flip_" : "_") +
           std::to_string(size.first) + "x" + std::to_string(size.second) +
           (withPalette ? "_palette" : "");
}

INSTANTIATE_TEST_SUITE_P(EveryTypeAndDepth, Conversion,
                         ::testing::Combine(::testing::ValuesIn(kTypes),
                                            ::testing::Values(8, 15, 16, 24, 32), ::testing::Bool(),
                                            ::testing::Values(std::pair{6, 4}, std::pair{5, 5},
                                                              std::pair{7, 2}),
                                            ::testing::Bool()),
                         caseName);

// The fixed points of both rules, through a uniform frame on a 32-bit surface.
TEST(YuvRules, FixedPoints) {
    struct Point {
        std::uint32_t type;
        int y, u, v;
        Colour rgb;
    };
    const Point points[] = {
        {kTypeYv12, 16, 128, 128, {0, 0, 0}},        {kTypeYv12, 235, 128, 128, {254, 254, 254}},
        {kTypeYv12, 255, 128, 128, {255, 255, 255}}, {kTypeYuy2, 0, 128, 128, {0, 0, 0}},
        {kTypeYuy2, 255, 128, 128, {255, 255, 255}}, {kTypeUyvy, 255, 128, 128, {255, 255, 255}},
    };
    for (const Point& p : points) {
        SCOPED_TRACE(typeName(p.type) + " Y=" + std::to_string(p.y));
        const auto y = static_cast<std::uint8_t>(p.y), u = static_cast<std::uint8_t>(p.u),
                   v = static_cast<std::uint8_t>(p.v);
        Bytes yPlane(4, y), uPlane(1, u), vPlane(1, v);
        const PlaneTable planes{yPlane.data(), 2, uPlane.data(), 1, vPlane.data(), 1};
        Bytes packed =
            p.type == kTypeYuy2 ? Bytes{y, u, y, v, y, u, y, v} : Bytes{u, y, v, y, u, y, v, y};
        Bytes surface(16, 0x77);
        const void* frame = p.type == kTypeYv12 ? static_cast<const void*>(&planes) : packed.data();
        ASSERT_TRUE(convertFrame(p.type, frame, false, nullptr, {surface.data(), 2, 2, 8, 32}));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(surface[4 * i + 2], p.rgb[0]);
            EXPECT_EQ(surface[4 * i + 1], p.rgb[1]);
            EXPECT_EQ(surface[4 * i], p.rgb[2]);
            EXPECT_EQ(surface[4 * i + 3], 0x77);
        }
    }
}

TEST(Fourcc, FourCharactersLittleEndian) {
    EXPECT_EQ(fourcc("YV12"), 0x32315659u);
    EXPECT_EQ(fourcc("RGB8"), 0x38424752u);
}

}  // namespace
}  // namespace vexa::pixels
