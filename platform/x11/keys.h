#pragma once
// Key symbols of the display as Windows virtual-key codes (module-internal; pure).

#include <X11/X.h>

#include "platform/x11/window_types.h"

namespace win::x11::detail {

// 0 for a key the system has no code for.
WPARAM virtualKey(KeySym keysym);

}  // namespace win::x11::detail
