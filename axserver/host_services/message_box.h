#pragma once
// A modal message box with one OK button: a small captioned window over the owner that shows the
// text and ends on OK, Enter, Space, Escape or its close button.
//
// Call it on the thread that owns the display's windows (vexahost's main thread); it runs a
// nested message loop, so other windows of the thread keep working while it shows. False when
// it cannot be shown (no display, another thread); nothing throws but allocation failures.

#include <string>

#include "platform/message_types.h"

namespace vexa::host {

bool showMessageBox(win::HWND owner, const std::string& text, const std::string& caption);

}  // namespace vexa::host
