/* The host's video output: the one object through which input plug-ins put pictures on the
 * screen, the frame layouts they hand it, and the subtitle record.
 *
 * A plug-in fetches the object by sending its hostWindow SONARI_MSG_COMMAND with wParam 0 and
 * lParam SONARI_SERVICE_GET_VIDEO_OUTPUT (host_messages.h); the answer is the object's address,
 * 0 when the host has no video window yet. The object lives until the process ends; the plug-in
 * never deletes it.
 *
 * Order: open -> (draw, setSubtitle, reportBuffer)* -> close, all from the plug-in's own thread
 * (the decode thread); the host's window thread only repaints. A failed open (answer 1) leaves
 * the object idle: every later draw tries the open again with the same parameters.
 *
 * The frame layouts (what draw reads, by the type given to open):
 *   "NONE"  nothing is drawn
 *   "YV12"  a SonariPlaneTable: Y at full size, U (Cb) and V (Cr) at half width and half height
 *   "YUY2"  packed Y0 U Y1 V per pixel pair, rows 2 x width bytes apart, top row first
 *   "UYVY"  as "YUY2" with U Y0 V Y1
 *   "RG32"  bytes B, G, R, unused per pixel, rows 4 x width bytes apart
 *   "RG24"  bytes B, G, R per pixel, rows 3 x width bytes apart
 *   "RGB8"  palette indices, rows rounded up to 4 bytes, the bottom row first in memory; the
 *           palette (256 entries of B, G, R, unused) is set with extended(0x1003, palette)
 * With flip set, "YV12", "RG32" and "RG24" rows arrive bottom-up.
 *
 * The C part compiles as C11; the class itself is C++ only (its virtual functions are called in
 * the order declared here, so the order is part of the interface). */
#ifndef SONARI_VIDEO_OUTPUT_H
#define SONARI_VIDEO_OUTPUT_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

/* A pixel type: the four characters as a little-endian 32-bit number. */
#define SONARI_FOURCC(a, b, c, d)                                                              \
    ((uint32_t)(uint8_t)(a) | ((uint32_t)(uint8_t)(b) << 8) | ((uint32_t)(uint8_t)(c) << 16) | \
     ((uint32_t)(uint8_t)(d) << 24))
#define SONARI_VIDEO_NONE SONARI_FOURCC('N', 'O', 'N', 'E')
#define SONARI_VIDEO_YV12 SONARI_FOURCC('Y', 'V', '1', '2')
#define SONARI_VIDEO_YUY2 SONARI_FOURCC('Y', 'U', 'Y', '2')
#define SONARI_VIDEO_UYVY SONARI_FOURCC('U', 'Y', 'V', 'Y')
#define SONARI_VIDEO_RG32 SONARI_FOURCC('R', 'G', '3', '2')
#define SONARI_VIDEO_RG24 SONARI_FOURCC('R', 'G', '2', '4')
#define SONARI_VIDEO_RGB8 SONARI_FOURCC('R', 'G', 'B', '8')

/* extended() commands. */
#define SONARI_VIDEO_EXT_NOTHING 0x1000     /* answers 0 */
#define SONARI_VIDEO_EXT_WINDOW 0x1001      /* answers the video window's handle */
#define SONARI_VIDEO_EXT_SET_FLIP 0x1002    /* arg1: nonzero when rows arrive bottom-up */
#define SONARI_VIDEO_EXT_SET_PALETTE 0x1003 /* arg1: address of 256 entries B, G, R, unused */

/* The planes of a "YV12" frame. The pitches are bytes from one row to the next. */
typedef struct SonariPlaneTable {
    const uint8_t* y;
    int32_t yPitch;
    const uint8_t* u;
    int32_t uPitch;
    const uint8_t* v;
    int32_t vPitch;
} SonariPlaneTable;

/* A subtitle. The host reads it whenever it paints and never copies it: the plug-in keeps it
 * unchanged and alive until it sets another or clears. The bytes marked plug-in are the
 * plug-in's own. */
typedef struct SonariSubtitle {
    uint8_t pluginHead[8];
    /* zero-terminated text (UTF-8); "\n" starts a new line */
    const char* text;
    /* 0 at the left edge, 127 centred, 255 at the right edge */
    uint8_t x;
    /* 0 at the top, 255 at the bottom; 128 and above align the text's bottom */
    uint8_t y;
    /* text colour */
    uint8_t red, green, blue;
    uint8_t pluginMiddle[15];
    /* added to the font height, in pixels */
    int32_t fontSizeAdjust;
} SonariSubtitle;

SONARI_STATIC_ASSERT(sizeof(SonariPlaneTable) == 48, "plane table layout");
SONARI_STATIC_ASSERT(offsetof(SonariPlaneTable, uPitch) == 24, "plane table layout");
SONARI_STATIC_ASSERT(offsetof(SonariSubtitle, text) == 8, "subtitle layout");
SONARI_STATIC_ASSERT(offsetof(SonariSubtitle, x) == 16, "subtitle layout");
SONARI_STATIC_ASSERT(offsetof(SonariSubtitle, red) == 18, "subtitle layout");
SONARI_STATIC_ASSERT(offsetof(SonariSubtitle, fontSizeAdjust) == 36, "subtitle layout");

SONARI_EXTERN_C_END

#ifdef __cplusplus

/* The video output object. Every call may come from any plug-in thread; none throws. */
class SonariVideoOutput {
  public:
    virtual ~SonariVideoOutput() = default;
    /* Prepares for frames of this size and type (width or height 0: 320 x 240). aspect is the
     * pixel aspect: the picture shows height x aspect tall for width wide. 0 when the picture
     * will show (or the window is gone: the open then succeeds without drawing), 1 when no
     * renderer takes the type. */
    virtual int32_t open(int32_t width, int32_t height, int32_t flip, double aspect,
                         uint32_t type) = 0;
    /* handler(context, window, message, wParam, lParam) then answers every message of the video
     * window that the host does not keep to itself (null: the default handling again). */
    virtual void setMessageHandler(intptr_t (*handler)(void* context, SonariWindow window,
                                                       uint32_t message, uintptr_t wParam,
                                                       intptr_t lParam),
                                   void* context) = 0;
    /* Ends the stream: the idle picture returns. */
    virtual void close() = 0;
    /* One picture in the layout of the open type (null is ignored). Returns when it is shown. */
    virtual void draw(const void* frame) = 0;
    /* A SonariSubtitle, or null to clear. */
    virtual void setSubtitle(const void* subtitle) = 0;
    /* Keeps a copy of the text; nothing draws it. */
    virtual void setStatusText(const char* text) = 0;
    /* Answers 0. */
    virtual int32_t reserved() = 0;
    /* A buffering or progress value, passed on to the client as status 223. */
    virtual void reportBuffer(int32_t value) = 0;
    /* SONARI_VIDEO_EXT_*; other commands answer 0. */
    virtual int32_t extended(int32_t command, intptr_t arg1, intptr_t arg2) = 0;
};

#endif /* __cplusplus */

#endif /* SONARI_VIDEO_OUTPUT_H */
