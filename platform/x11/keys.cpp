// Key symbols to virtual-key codes.
#include "platform/x11/keys.h"

#include <X11/keysym.h>

namespace win::x11::detail {

WPARAM virtualKey(KeySym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) {
        return 'A' + (keysym - XK_a);
    }
    if ((keysym >= XK_A && keysym <= XK_Z) || (keysym >= XK_0 && keysym <= XK_9)) {
        return keysym;  // their ASCII codes
    }
    if (keysym >= XK_F1 && keysym <= XK_F12) {
        return VK_F1 + (keysym - XK_F1);
    }
    switch (keysym) {
        case XK_Escape:
            return VK_ESCAPE;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_space:
            return VK_SPACE;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_BackSpace:
            return VK_BACK;
        case XK_Delete:
            return VK_DELETE;
        case XK_Insert:
            return VK_INSERT;
        case XK_Home:
            return VK_HOME;
        case XK_End:
            return VK_END;
        case XK_Prior:
            return VK_PRIOR;
        case XK_Next:
            return VK_NEXT;
        case XK_Left:
            return VK_LEFT;
        case XK_Up:
            return VK_UP;
        case XK_Right:
            return VK_RIGHT;
        case XK_Down:
            return VK_DOWN;
        default:
            return 0;
    }
}

}  // namespace win::x11::detail
