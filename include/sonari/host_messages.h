/* Messages a plug-in sends or posts to the server window (the hostWindow field of its record),
 * and the two functions through which the host lets its plug-ins reach its windows.
 *
 * sonariPostMessage and sonariSendMessage are defined by the host program and declared weak
 * here, so a plug-in links and loads without them; in a process that does not offer them (a
 * test program, a tool that only reads file information) they are null. */
#ifndef SONARI_HOST_MESSAGES_H
#define SONARI_HOST_MESSAGES_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

/* Sent with lParam set to one of the SONARI_SERVICE_* numbers; answers an address in the host. */
#define SONARI_MSG_COMMAND 0x400
/* Posted with wParam 0 and lParam 0 when the stream has played to its end. */
#define SONARI_MSG_TRACK_END 0x402
/* Posted with these numbers, wParam and lParam reach the client unchanged: event (code, 0),
 * status (code, value), metadata (0, 0). Prefer the postEvent and postStatus entries. */
#define SONARI_MSG_EVENT 0x403
#define SONARI_MSG_STATUS 0x404
#define SONARI_MSG_METADATA 0x405

/* In-process services (lParam of SONARI_MSG_COMMAND, wParam 0). */
#define SONARI_SERVICE_GET_DOWNLOADER 240
#define SONARI_SERVICE_GET_VIDEO_OUTPUT 500
#define SONARI_SERVICE_GET_RANGE 501

/* Posts a message to a window of the host (any thread, does not wait); nonzero when posted. */
int32_t sonariPostMessage(SonariWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam)
    __attribute__((weak));

/* Sends a message to a window of the host and waits for its answer (any thread); 0 when the
 * window is gone. */
intptr_t sonariSendMessage(SonariWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam)
    __attribute__((weak));

SONARI_EXTERN_C_END

#endif /* SONARI_HOST_MESSAGES_H */
