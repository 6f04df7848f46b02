// The one entry by pixel type code.
#include "axserver/video/pixels/convert.h"
#include "axserver/video/pixels/fourcc.h"

namespace vexa::pixels {

bool convertFrame(std::uint32_t type, const void* frame, bool flip, const std::uint8_t* palette,
                  const Surface& to) noexcept {
    if (frame == nullptr) {
        return false;
    }
    const auto* pixels = static_cast<const std::uint8_t*>(frame);
    switch (type) {
        case kTypeYv12:
            return convertYv12(*static_cast<const PlaneTable*>(frame), flip, to);
        case kTypeYuy2:
            return convertYuy2(pixels, to);
        case kTypeUyvy:
            return convertUyvy(pixels, to);
        case kTypeRg32:
            return convertRg32(pixels, flip, to);
        case kTypeRg24:
            return convertRg24(pixels, flip, to);
        case kTypeRgb8:
            return convertRgb8(pixels, palette, to);
        default:
            return false;
    }
}

}  // namespace vexa::pixels
