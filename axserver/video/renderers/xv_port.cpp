#include "axserver/video/renderers/xv_port.h"

#include <X11/extensions/Xvlib.h>

#include <new>
#include <vector>

#include "axserver/video/pixels/fourcc.h"
#include "lib/x11/error_trap.h"
#include "lib/x11/resources.h"
#include "lib/x11/xv_image.h"

namespace vexa::video {
namespace {

class X11XvPort final : public XvPort {
  public:
    X11XvPort(::Display* display, ::Window window, ::XvPortID port, bool yuy2, bool uyvy)
        : display_(display),
          window_(window),
          port_(port),
          yuy2_(yuy2),
          uyvy_(uyvy),
          gc_(display, XCreateGC(display, window, 0, nullptr)) {}

    ~X11XvPort() override {
        kinvo::x11::ErrorTrap trap(display_);
        XvStopVideo(display_, port_, window_);
        XvUngrabPort(display_, port_, CurrentTime);
        image_ = kinvo::x11::XvShmImage();
        trap.finish();
    }

    bool offers(std::uint32_t format) const noexcept override {
        return (format == vexa::pixels::kTypeYuy2 && yuy2_) ||
               (format == vexa::pixels::kTypeUyvy && uyvy_);
    }

    bool setColorKey(unsigned long value) noexcept override {
        const ::Atom key = XInternAtom(display_, "XV_COLORKEY", True);
        if (key == None) {
            return false;
        }
        kinvo::x11::ErrorTrap trap(display_);
        XvSetPortAttribute(display_, port_, key, static_cast<int>(value));
        return trap.finish();
    }

    bool createImage(std::uint32_t format, int width, int height,
                     PackedImage& image) noexcept override {
        image_ = kinvo::x11::XvShmImage::create(display_, port_, static_cast<int>(format), width,
                                                height);
        if (!image_) {
            return false;
        }
        ::XvImage* xv = image_.get();
        image.pixels = reinterpret_cast<std::uint8_t*>(xv->data) + xv->offsets[0];
        image.pitch = xv->pitches[0];
        image.rows = xv->height;
        return true;
    }

    bool putImage(const win::RECT& source, const win::RECT& destination) noexcept override {
        if (!image_ || !gc_) {
            return false;
        }
        kinvo::x11::ErrorTrap trap(display_);
        XvShmPutImage(display_, port_, window_, gc_.get(), image_.get(), source.left, source.top,
                      source.width(), source.height(), destination.left, destination.top,
                      destination.width(), destination.height(), False);
        return trap.finish();
    }

  private:
    ::Display* display_;
    ::Window window_;
    ::XvPortID port_;
    bool yuy2_;
    bool uyvy_;
    kinvo::x11::Gc gc_;
    kinvo::x11::XvShmImage image_;
};

}  // namespace

std::unique_ptr<XvPort> openXvPort(::Display* display, ::Window window) noexcept {
    unsigned version, release, request, event, error;
    if (display == nullptr ||
        XvQueryExtension(display, &version, &release, &request, &event, &error) != Success) {
        return nullptr;
    }
    ::XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return nullptr;
    }
    unsigned adaptorCount = 0;
    ::XvAdaptorInfo* adaptors = nullptr;
    if (XvQueryAdaptors(display, RootWindowOfScreen(attributes.screen), &adaptorCount, &adaptors) !=
        Success) {
        return nullptr;
    }
    std::unique_ptr<XvPort> result;
    for (unsigned a = 0; a < adaptorCount && !result; ++a) {
        const ::XvAdaptorInfo& adaptor = adaptors[a];
        if ((adaptor.type & XvInputMask) == 0 || (adaptor.type & XvImageMask) == 0) {
            continue;
        }
        int formatCount = 0;
        ::XvImageFormatValues* formats = XvListImageFormats(display, adaptor.base_id, &formatCount);
        bool yuy2 = false;
        bool uyvy = false;
        for (int f = 0; f < formatCount; ++f) {
            yuy2 = yuy2 || static_cast<std::uint32_t>(formats[f].id) == vexa::pixels::kTypeYuy2;
            uyvy = uyvy || static_cast<std::uint32_t>(formats[f].id) == vexa::pixels::kTypeUyvy;
        }
        if (formats != nullptr) {
            XFree(formats);
        }
        if (!yuy2 && !uyvy) {
            continue;
        }
        for (unsigned long p = 0; p < adaptor.num_ports && !result; ++p) {
            const ::XvPortID port = adaptor.base_id + p;
            if (XvGrabPort(display, port, CurrentTime) == Success) {
                result.reset(new (std::nothrow) X11XvPort(display, window, port, yuy2, uyvy));
            }
        }
    }
    XvFreeAdaptorInfo(adaptors);
    return result;
}

}  // namespace vexa::video
