// The host's message functions for its plug-ins (declared in <sonari/host_messages.h>): the
// program exports them, so a plug-in reaches the server window without linking anything.
#include <sonari/host_messages.h>

#include "platform/messages.h"

extern "C" {

int32_t sonariPostMessage(SonariWindow window, uint32_t message, uintptr_t wParam,
                          intptr_t lParam) {
    try {
        return win::postMessage(window, message, wParam, lParam) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

intptr_t sonariSendMessage(SonariWindow window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    try {
        return win::sendMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
