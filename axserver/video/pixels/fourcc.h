#pragma once
// Pixel type codes: four characters stored as a little-endian 32-bit integer, so that "YV12" in
// memory reads as the bytes 'Y', 'V', '1', '2'.

#include <cstdint>

namespace vexa::pixels {

constexpr std::uint32_t fourcc(const char (&code)[5]) noexcept {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

inline constexpr std::uint32_t kTypeNone = fourcc("NONE");
inline constexpr std::uint32_t kTypeYv12 = fourcc("YV12");
inline constexpr std::uint32_t kTypeYuy2 = fourcc("YUY2");
inline constexpr std::uint32_t kTypeUyvy = fourcc("UYVY");
inline constexpr std::uint32_t kTypeRg32 = fourcc("RG32");
inline constexpr std::uint32_t kTypeRg24 = fourcc("RG24");
inline constexpr std::uint32_t kTypeRgb8 = fourcc("RGB8");

}  // namespace vexa::pixels
