// Making and ending the display windows behind visible windows of the layer.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include "platform/debug_trace.h"
#include "platform/x11/display.h"
#include "platform/x11/internal.h"
#include "platform/x11/paint.h"

namespace win::x11::detail {
namespace {

constexpr long kEventMask = ExposureMask | StructureNotifyMask | KeyPressMask | ButtonPressMask |
                            ButtonReleaseMask | FocusChangeMask;

class Backend final : public WindowBackend {
  public:
    Backend(Connection& c, std::shared_ptr<WindowState> state) : c_(c), state_(std::move(state)) {}

    void textChanged(std::string_view text) override {
        if (connection() != nullptr && !state_->gone && state_->parent == 0) {
            ErrorTrap trap;  // others see the title once this returns
            setTitle(c_, state_->id, text);
        }
    }

    void destroyed() noexcept override {
        c_.remove(state_->hwnd);
        if (connection() == nullptr || state_->gone.exchange(true)) {
            return;
        }
        ErrorTrap trap;  // a parent of another program may have taken it along already
        XDestroyWindow(c_.dpy, state_->id);
        trap.finish();
    }

    void validate() noexcept override {
        PAINTSTRUCT paint;
        if (beginPaint(state_->hwnd, paint) != nullptr) {
            endPaint(state_->hwnd, paint);
        }
    }

  private:
    Connection& c_;
    std::shared_ptr<WindowState> state_;
};

// The pixel of a colour in the default visual's colormap (colormaps of TrueColor visuals answer
// without allocating anything).
unsigned long pixelOf(Connection& c, Colormap colormap, COLORREF colour) {
    XColor xc{};
    xc.red = static_cast<unsigned short>((colour & 0xFF) * 0x101);
    xc.green = static_cast<unsigned short>(((colour >> 8) & 0xFF) * 0x101);
    xc.blue = static_cast<unsigned short>(((colour >> 16) & 0xFF) * 0x101);
    xc.flags = DoRed | DoGreen | DoBlue;
    return XAllocColor(c.dpy, colormap, &xc) != 0 ? xc.pixel : BlackPixel(c.dpy, c.screen);
}

}  // namespace

bool displayWindowExists(Connection& c, HWND hwnd) {
    if (c.lost || hwnd == 0) {
        return false;
    }
    ErrorTrap trap;
    XWindowAttributes attributes;
    const Status ok = XGetWindowAttributes(c.dpy, hwnd, &attributes);
    return trap.finish() == 0 && ok != 0;
}

VisibleWindow makeWindow(Connection& c, const CreateParams& params) {
    WindowClass cls;
    if (std::this_thread::get_id() != c.owner || connection() == nullptr ||
        !getClassInfo(params.className, cls)) {
        return {};
    }
    auto state = std::make_shared<WindowState>();
    const bool child = (params.style & WS_CHILD) != 0 && params.parent != 0;
    state->screen = c.screen;
    state->visual = DefaultVisual(c.dpy, c.screen);
    state->depth = DefaultDepth(c.dpy, c.screen);
    state->colormap = DefaultColormap(c.dpy, c.screen);
    state->classStyle = cls.style;
    state->background = cls.background;
    state->style = params.style;
    state->exStyle = params.exStyle;
    state->parent = child ? params.parent : 0;
    const bool defaultPlace = params.x == CW_USEDEFAULT;
    const bool defaultSize = params.width == CW_USEDEFAULT;
    state->x = defaultPlace ? 0 : params.x;
    state->y = defaultPlace ? 0 : params.y;
    state->width = defaultSize ? 640 : std::max(params.width, 1);
    state->height = defaultSize ? 480 : std::max(params.height, 1);

    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask | CWBorderPixel | CWColormap;
    attributes.event_mask = kEventMask;
    attributes.border_pixel = 0;
    attributes.colormap = state->colormap;
    if (cls.background != kNoBackground) {
        attributes.background_pixel = pixelOf(c, state->colormap, cls.background);
        mask |= CWBackPixel;
    } else {
        attributes.background_pixmap = None;
        mask |= CWBackPixmap;
    }
    ErrorTrap trap;
    state->id = XCreateWindow(c.dpy, child ? params.parent : c.root, state->x, state->y,
                              static_cast<unsigned>(state->width.load()),
                              static_cast<unsigned>(state->height.load()), 0, state->depth,
                              InputOutput, state->visual, mask, &attributes);
    if (trap.finish() != 0 || state->id == 0) {
        debugTrace("x11: a window could not be made (its parent may be gone)\n");
        if (state->id != 0) {
            ErrorTrap cleanup;
            XDestroyWindow(c.dpy, state->id);
        }
        return {};
    }
    state->hwnd = static_cast<HWND>(state->id);
    ErrorTrap setup;  // finished (synchronised) before the window is handed out
    if (!child) {
        Atom protocols[] = {c.atoms.wmDeleteWindow};
        XSetWMProtocols(c.dpy, state->id, protocols, 1);
        XSizeHints hints{};
        hints.flags = PSize | (defaultPlace ? 0 : PPosition | USPosition);
        hints.x = state->x;
        hints.y = state->y;
        hints.width = state->width;
        hints.height = state->height;
        XSetWMNormalHints(c.dpy, state->id, &hints);
        XClassHint classHint{const_cast<char*>(cls.name.c_str()),
                             const_cast<char*>(cls.name.c_str())};
        XSetClassHint(c.dpy, state->id, &classHint);
        const long pid = ::getpid();
        XChangeProperty(c.dpy, state->id, c.atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        setTitle(c, state->id, params.windowName);
        applyDecorations(c, *state);
        applyWindowType(c, *state);
        if ((params.exStyle & WS_EX_TOPMOST) != 0) {
            setNetState(c, *state, c.atoms.netWmStateAbove, true);
        }
        updateFullscreen(c, *state);
    }
    c.add(state);
    if ((params.style & WS_VISIBLE) != 0) {
        state->visible = true;
        XMapWindow(c.dpy, state->id);
    }
    if (setup.finish() != 0) {
        debugTrace("x11: a new window's properties were refused\n");
    }
    VisibleWindow visible;
    visible.hwnd = state->hwnd;
    visible.topLevel = !child;
    visible.backend = std::make_unique<Backend>(c, state);
    return visible;
}

}  // namespace win::x11::detail
