// The dialog a streaming plug-in shows while it connects: a top-level window with a fixed title.
// Closing it is the one way to make a plug-in that is still inside its play return.
#pragma once

namespace vexa::playback {

inline constexpr char kStreamingDialogTitle[] = "MPEG HTTP/Tidewaver streaming...";

// Finds the first top-level window of this user titled exactly kStreamingDialogTitle and sends it
// WM_CLOSE, waiting for the answer. False when there is no such window. Main thread.
bool closeStreamingDialog() noexcept;

}  // namespace vexa::playback
