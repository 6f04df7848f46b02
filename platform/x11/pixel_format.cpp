// Colour masks of a visual.
#include "platform/x11/pixel_format.h"

#include <algorithm>
#include <bit>

namespace win::x11::detail {

PixelFormat::Channel PixelFormat::channel(unsigned long mask) {
    Channel c;
    c.mask = mask;
    c.shift = mask != 0 ? std::countr_zero(mask) : 0;
    c.bits = std::min(8, std::popcount(mask));
    return c;
}

bool PixelFormat::describe(const ::Visual* visual) {
    if (visual == nullptr || visual->red_mask == 0 || visual->green_mask == 0 ||
        visual->blue_mask == 0) {
        return false;
    }
    red_ = channel(visual->red_mask);
    green_ = channel(visual->green_mask);
    blue_ = channel(visual->blue_mask);
    return true;
}

}  // namespace win::x11::detail
