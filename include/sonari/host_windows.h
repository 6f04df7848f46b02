/* The host's window services for plug-ins that draw into the host's video window themselves
 * (the handle that the video output's extended command SONARI_VIDEO_EXT_WINDOW answers).
 *
 * Like sonariPostMessage, every function is defined by the host program and declared weak here:
 * a plug-in links and loads without them and must check each for null before calling it.
 *
 * Threads. A window belongs to the host thread that made it; its procedure runs only there.
 * sonariSetWindowProc, sonariCallWindowProc, the rectangle and parent queries,
 * sonariInvalidateRect and sonariGetCursorPos may be called from any thread; sonariSetTimer,
 * sonariKillTimer and sonariSetWindowPos only on the window's own thread (a plug-in thread asks
 * that thread by sending the window a message of its own, which its subclassed procedure
 * handles). Failures answer 0 or null; nothing throws or aborts. */
#ifndef SONARI_HOST_WINDOWS_H
#define SONARI_HOST_WINDOWS_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

typedef intptr_t (*SonariWindowProc)(SonariWindow window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

/* A device context, valid only while the message that handed it out is handled. */
typedef struct SonariDc SonariDc;

typedef struct SonariRect {
    int32_t left, top, right, bottom;
} SonariRect;
SONARI_STATIC_ASSERT(sizeof(SonariRect) == 16, "SonariRect is 16 bytes");

/* SONARI_WM_WINDOWPOSCHANGING and SONARI_WM_WINDOWPOSCHANGED point lParam at one. */
typedef struct SonariWindowPos {
    SonariWindow window;
    SonariWindow insertAfter;
    int32_t x, y, cx, cy;
    uint32_t flags;
} SonariWindowPos;
SONARI_STATIC_ASSERT(sizeof(SonariWindowPos) == 28, "SonariWindowPos is 28 bytes");

/* Messages a video window receives (the values of their Windows namesakes). */
#define SONARI_WM_PAINT 0x000F
#define SONARI_WM_ERASEBKGND 0x0014 /* wParam: the SonariDc*; nonzero answer: erased */
#define SONARI_WM_WINDOWPOSCHANGING 0x0046
#define SONARI_WM_WINDOWPOSCHANGED 0x0047
#define SONARI_WM_TIMER 0x0113 /* wParam: the timer's id */
#define SONARI_WM_LBUTTONDOWN 0x0201
#define SONARI_WM_LBUTTONDBLCLK 0x0203
#define SONARI_WM_APP 0x8000 /* numbers from here on are free for plug-ins */

/* sonariSetWindowPos flags. */
#define SONARI_SWP_NOSIZE 0x0001
#define SONARI_SWP_NOMOVE 0x0002
#define SONARI_SWP_NOZORDER 0x0004
#define SONARI_SWP_NOACTIVATE 0x0010

/* Subclassing: installs proc and answers the previous procedure (null on failure). */
SonariWindowProc sonariSetWindowProc(SonariWindow window, SonariWindowProc proc)
    __attribute__((weak));
intptr_t sonariCallWindowProc(SonariWindowProc proc, SonariWindow window, uint32_t message,
                              uintptr_t wParam, intptr_t lParam) __attribute__((weak));

/* Timers: SONARI_WM_TIMER with wParam = id every periodMs; nonzero when set. */
int32_t sonariSetTimer(SonariWindow window, uintptr_t id, uint32_t periodMs) __attribute__((weak));
int32_t sonariKillTimer(SonariWindow window, uintptr_t id) __attribute__((weak));

/* Placement: client rectangle (origin 0, 0), window rectangle on the screen, the parent window
 * (0 for a top-level one), screen point to client point; nonzero on success. */
int32_t sonariGetClientRect(SonariWindow window, SonariRect* out) __attribute__((weak));
int32_t sonariGetWindowRect(SonariWindow window, SonariRect* out) __attribute__((weak));
SonariWindow sonariGetParent(SonariWindow window) __attribute__((weak));
int32_t sonariScreenToClient(SonariWindow window, int32_t* x, int32_t* y) __attribute__((weak));
int32_t sonariSetWindowPos(SonariWindow window, SonariWindow insertAfter, int32_t x, int32_t y,
                           int32_t cx, int32_t cy, uint32_t flags) __attribute__((weak));

/* Painting: marks the rectangle (null: all of the client area) for painting, with the background
 * erased first when erase is nonzero; fills a rectangle of a device context with 0x00BBGGRR. */
int32_t sonariInvalidateRect(SonariWindow window, const SonariRect* rect, int32_t erase)
    __attribute__((weak));
int32_t sonariFillRect(SonariDc* dc, const SonariRect* rect, uint32_t colour) __attribute__((weak));

/* The pointer's position on the screen; nonzero when known. */
int32_t sonariGetCursorPos(int32_t* x, int32_t* y) __attribute__((weak));

/* Delivers every message waiting for the calling thread (its queue is made on first use);
 * answers how many were delivered. */
int32_t sonariPumpMessages(void) __attribute__((weak));

/* Shows a modal message box with an OK button over owner (0: none) and returns when it is
 * closed; 0 when it could not be shown. */
int32_t sonariMessageBox(SonariWindow owner, const char* text, const char* caption)
    __attribute__((weak));

SONARI_EXTERN_C_END

#endif /* SONARI_HOST_WINDOWS_H */
