#include "axserver/video/renderers/window_format.h"

#include <X11/Xutil.h>

namespace vexa::video {

int pixelDepth(int depth, int bitsPerPixel, bool trueColor, unsigned long greenMask) noexcept {
    if (!trueColor) {
        return 8;
    }
    if (bitsPerPixel == 16) {
        return greenMask == 0x3E0 ? 15 : 16;
    }
    if ((bitsPerPixel == 24 || bitsPerPixel == 32) && depth >= 24) {
        return bitsPerPixel;
    }
    return 8;
}

bool readWindowFormat(const RendererHost& host, WindowFormat& format) noexcept {
    ::Display* display = host.display();
    if (display == nullptr || !host.drawable(format.window, format.visual, format.depth) ||
        format.visual == nullptr) {
        return false;
    }
    ::XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, format.window, &attributes)) {
        return false;
    }
    format.screen = XScreenNumberOfScreen(attributes.screen);
    format.colormap = attributes.colormap;
    format.trueColor = format.visual->c_class == TrueColor;
    format.masks = {format.visual->red_mask, format.visual->green_mask, format.visual->blue_mask};
    int bitsPerPixel = 0;
    int count = 0;
    if (::XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
        for (int i = 0; i < count; ++i) {
            if (formats[i].depth == format.depth) {
                bitsPerPixel = formats[i].bits_per_pixel;
            }
        }
        XFree(formats);
    }
    format.pixelDepth =
        pixelDepth(format.depth, bitsPerPixel, format.trueColor, format.visual->green_mask);
    return true;
}

}  // namespace vexa::video
