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
    return value < (1LL << shift) ? 0 : value >= (256LL << shift) ? 255 : int(value >> shift);
}

Colour ruleA(long long y, long long u, long long v) {
    const long long c = 0x129FB * (y - 16);
    return {fixedPoint(c + 0x19893 * (v - 128), 16),
            fixedPoint(c - 0xD020 * (v - 128) - 0x645A * (u - 128), 16),
            fixedPoint(c + 0x2045A * (u - 128), 16)};
}

Colour ruleB(long long y, long long u, long long v) {
    return {fixedPoint(256 * y + 0x167 * (v - 128), 8),
            fixedPoint(256 * y - 0xB7 * (v - 128) - 0x58 * (u - 128), 8),
            fixedPoint(256 * y + 0x1C6 * (u - 128), 8)};
}

int bytesPerPixel(int depth) {
    return depth == 15 ? 2 : depth / 8;
}

void store(Bytes& surface, int pitch, int depth, int x, int row, Colour c) {
    std::uint8_t* p = surface.data() + row * pitch + x * bytesPerPixel(depth);
    const auto [r, g, b] = c;
    const int word = depth == 15 ? (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)
                                 : (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    const Bytes bytes = depth >= 24 ? Bytes{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)}
                                    : Bytes{std::uint8_t(word), std::uint8_t(word >> 8)};
    std::copy(bytes.begin(), bytes.end(), p);
}

// One frame of a type at a size: random planes with pitches wider than the picture for "YV12",
// random pixels otherwise (enough for any packed type), and a random palette.
struct Frame {
    std::uint32_t type;
    int w, h, yPitch = w + 5, cPitch = (w + 1) / 2 + 3;
    Bytes y = randomBytes(yPitch * h, 1), u = randomBytes(cPitch * h, 2),
          v = randomBytes(cPitch * h, 3), pixels = randomBytes(4 * w * h, 4),
          palette = randomBytes(kPaletteBytes, 5);
    PlaneTable planes{y.data(), yPitch, u.data(), cPitch, v.data(), cPitch};

    const void* data() const { return type == kTypeYv12 ? (const void*)&planes : pixels.data(); }
};

// Draws what the surface should hold; false where the frame is not to be drawn at all.
bool reference(const Frame& f, bool flip, int depth, int pitch, Bytes& out) {
    if (depth != 15 && depth != 16 && depth != 24 && depth != 32) {
        return false;
    }
    const std::uint8_t* px = f.pixels.data();
    for (int row = 0; row < f.h; ++row) {
        const int other = f.h - 1 - row;  // the row counted from the other end
        for (int x = 0; x < f.w; ++x) {
            const std::uint8_t *pair = px + row * 2 * f.w + x / 2 * 4, *p = nullptr;
            const bool yuy2 = f.type == kTypeYuy2, wholePair = x < f.w - f.w % 2;
            if (f.type == kTypeYv12 && row < f.h - f.h % 2 && wholePair) {
                const int c = row / 2 * f.cPitch + x / 2;
                store(out, pitch, depth, x, flip ? other : row,
                      ruleA(f.y[row * f.yPitch + x], f.u[c], f.v[c]));
            } else if ((yuy2 || f.type == kTypeUyvy) && wholePair) {
                const int y = pair[x % 2 * 2 + (yuy2 ? 0 : 1)];
                store(out, pitch, depth, x, row, ruleB(y, pair[yuy2 ? 1 : 0], pair[yuy2 ? 3 : 2]));
            } else if (f.type == kTypeRg32) {
                p = px + (flip ? other : row) * 4 * f.w + 4 * x;
                if (depth == 32) {
                    out[row * pitch + 4 * x + 3] = p[3];  // the row is copied whole
                }
            } else if (f.type == kTypeRg24 && depth == 32) {
                p = px + (flip ? other : row) * 3 * f.w + 3 * x;
            } else if (f.type == kTypeRgb8) {
                p = f.palette.data() + 4 * px[other * ((f.w + 3) / 4 * 4) + x];
            } else if (f.type != kTypeYv12 && f.type != kTypeYuy2 && f.type != kTypeUyvy) {
                return false;
            }
            if (p != nullptr) {
                store(out, pitch, depth, x, row, {p[2], p[1], p[0]});
            }
        }
    }
    return true;
}

std::string typeName(std::uint32_t type) {
    return {char(type), char(type >> 8), char(type >> 16), char(type >> 24)};
}

using Case = std::tuple<std::uint32_t, int, bool, std::pair<int, int>>;
class Conversion : public ::testing::TestWithParam<Case> {};

TEST_P(Conversion, MatchesTheReferenceAndLeavesTheRestAlone) {
    const auto [type, depth, flip, size] = GetParam();
    const Frame frame{type, size.first, size.second};
    const int pitch = frame.w * 4 + 3;  // padding after each row, rows not word-aligned
    Bytes actual = randomBytes(pitch * frame.h, 6);
    Bytes expected = actual;
    const bool drawn = reference(frame, flip, depth, pitch, expected);
    const Surface surface{actual.data(), frame.w, frame.h, pitch, depth};

    EXPECT_EQ(convertFrame(type, frame.data(), flip, frame.palette.data(), surface), drawn);
    EXPECT_EQ(actual, expected);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    const auto& [type, depth, flip, size] = info.param;
    return typeName(type) + "_" + std::to_string(depth) + (flip ? "_flip_" : "_") +
           std::to_string(size.first) + "x" + std::to_string(size.second);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTypeAndDepth, Conversion,
    ::testing::Combine(::testing::Values(kTypeYv12, kTypeYuy2, kTypeUyvy, kTypeRg32, kTypeRg24,
                                         kTypeRgb8, kTypeNone),
                       ::testing::Values(8, 15, 16, 24, 32), ::testing::Bool(),
                       ::testing::Values(std::pair{6, 4}, std::pair{5, 5}, std::pair{7, 2})),
    caseName);

TEST(Conversion, IndexedFrameWithoutPaletteDrawsNothing) {
    const Frame frame{kTypeRgb8, 4, 2};
    Bytes surface(32, 0x5A);
    EXPECT_FALSE(
        convertFrame(kTypeRgb8, frame.data(), false, nullptr, {surface.data(), 4, 2, 16, 32}));
    EXPECT_EQ(surface, Bytes(32, 0x5A));
}

// The fixed points of both rules, through a uniform 2 x 2 frame on a 32-bit surface.
TEST(YuvRules, FixedPoints) {
    const std::tuple<std::uint32_t, std::uint8_t, int> points[] = {
        {kTypeYv12, 16, 0}, {kTypeYv12, 235, 254}, {kTypeYv12, 255, 255},
        {kTypeYuy2, 0, 0},  {kTypeYuy2, 255, 255}, {kTypeUyvy, 255, 255},
    };
    for (const auto& [type, y, grey] : points) {
        SCOPED_TRACE(typeName(type) + " Y=" + std::to_string(y));
        Bytes yPlane(4, y), chroma(1, 128), surface(16, 0x77);
        const PlaneTable planes{yPlane.data(), 2, chroma.data(), 1, chroma.data(), 1};
        const Bytes yuy2{y, 128, y, 128, y, 128, y, 128}, uyvy{128, y, 128, y, 128, y, 128, y};
        const void* frame = type == kTypeYv12   ? (const void*)&planes
                            : type == kTypeYuy2 ? yuy2.data()
                                                : uyvy.data();
        ASSERT_TRUE(convertFrame(type, frame, false, nullptr, {surface.data(), 2, 2, 8, 32}));
        const auto g = std::uint8_t(grey);
        EXPECT_EQ(surface, (Bytes{g, g, g, 0x77, g, g, g, 0x77, g, g, g, 0x77, g, g, g, 0x77}));
    }
}

TEST(Fourcc, FourCharactersLittleEndian) {
    EXPECT_EQ(fourcc("YV12"), 0x32315659u);
    EXPECT_EQ(fourcc("RGB8"), 0x38424752u);
}

}  // namespace
}  // namespace vexa::pixels
