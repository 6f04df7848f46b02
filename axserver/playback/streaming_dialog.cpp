#include "axserver/playback/streaming_dialog.h"

#include "platform/messages.h"

namespace vexa::playback {

bool closeStreamingDialog() noexcept {
    try {
        win::HWND dialog = 0;
        win::enumWindows([&dialog](win::HWND hwnd) {
            if (win::getWindowText(hwnd) == kStreamingDialogTitle) {
                dialog = hwnd;
                return false;
            }
            return true;
        });
        if (dialog == 0) {
            return false;
        }
        win::sendMessage(dialog, win::WM_CLOSE, 0, 0);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace vexa::playback
