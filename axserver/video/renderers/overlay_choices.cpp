#include "axserver/video/renderers/overlay_choices.h"

#include <bit>

#include "axserver/video/pixels/fourcc.h"

namespace vexa::video {
namespace {

// An 8-bit component in a channel of `mask`, from its top bits as a server stores it.
unsigned long channel(unsigned value, unsigned long mask) noexcept {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8)
                                           : static_cast<unsigned long>(value) >> (8 - bits);
    return (scaled << shift) & mask;
}

}  // namespace

OverlayFormats overlayFormats(std::uint32_t type) noexcept {
    using namespace vexa::pixels;
    if (type == kTypeYuy2 || type == kTypeYv12) {
        return {{kTypeYuy2, kTypeUyvy}, 2};
    }
    if (type == kTypeUyvy) {
        return {{kTypeUyvy, kTypeYuy2}, 2};
    }
    return {};
}

OverlayKey overlayKey(int depth, const PixelMasks* masks) noexcept {
    OverlayKey key{win::rgb(16, 0, 16), 0x100010};
    if (depth == 8) {
        key = {win::rgb(255, 0, 255), 0xFD};
    } else if (depth == 15) {
        key.value = 0x802;
    } else if (depth == 16) {
        key.value = 0x1002;
    }
    if (masks != nullptr) {
        const unsigned long value = channel(key.colour & 0xFF, masks->red) |
                                    channel((key.colour >> 8) & 0xFF, masks->green) |
                                    channel((key.colour >> 16) & 0xFF, masks->blue);
        key.value = depth >= 32 ? value : value & ((1UL << depth) - 1);
    }
    return key;
}

}  // namespace vexa::video
