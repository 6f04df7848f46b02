#pragma once
// MouseHook's rule: a right-button release aimed at the player page's document window or at
// the playback control's window is discarded, so that no context menu opens over the player;
// every other mouse message passes. The window side names the target's class:
// kWebDocumentClass for the web view's document, kPlayerWindowClass for the player's window.

#include <string_view>

namespace kinvo {

inline constexpr int kRightButtonUp = 0x205;
inline constexpr std::string_view kWebDocumentClass = "Internet Explorer_Server";
inline constexpr std::string_view kPlayerWindowClass = "PNGUIClass";
inline constexpr int kClassNameLimit = 255;

// True when the message is to be discarded (the hook answers 1); false passes it on.
// code below 0 always passes, as hook codes below 0 are not the hook's to judge.
bool MouseHook(int code, int message, std::string_view targetClass);

}  // namespace kinvo
