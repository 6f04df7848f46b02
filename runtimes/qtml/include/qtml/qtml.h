/* The binary interface of the movie runtime library "QuickTime.qts": its three entry points, the
 * calling convention of its dispatcher, the operation selectors and the records they take.
 *
 * Calling convention (x86-64 Linux). Every operation is one call of the exported function
 * "theQuickTimeDispatcher", a C variadic function: the first argument is the 32-bit selector
 * (the high 16 bits name the manager, the low 16 bits the routine), then the operation's own
 * arguments in their C order, each passed as an intptr_t (integers sign-extended, pointers as
 * they are). The result is an intptr_t: a pointer, a count, or a 16-bit error sign-extended
 * (0 = none). An unknown selector answers QTML_ERR_UNIMPLEMENTED.
 *
 * Component calls (the movie controller) are selector QTML_CALL_COMPONENT with (instance,
 * QtmlComponentParams*), or the same two through "_CallComponent". The parameter block holds the
 * parameters as intptr_t values in call order; paramSize is their byte count.
 *
 * Threads: every operation may be called from any thread; the runtime serialises what needs it.
 * A controller's action filter runs on the thread that made the call causing the action.
 * Nothing throws out of the library. */
#ifndef QTML_QTML_H
#define QTML_QTML_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define QTML_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define QTML_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

/* The library's file name and the names of its three entry points. */
#define QTML_LIBRARY_NAME "QuickTime.qts"
#define QTML_ENTRY_DISPATCHER "theQuickTimeDispatcher"
#define QTML_ENTRY_CALL_COMPONENT "_CallComponent"
#define QTML_ENTRY_CALL_WITH_STORAGE "_CallComponentFunctionWithStorage"

/* The installed runtime's version number, as the registry's "Version" value holds it. */
#define QTML_VERSION 0x07008000u

typedef struct QtmlComponentParams {
    uint8_t flags;     /* 0 */
    uint8_t paramSize; /* bytes of params in use: 8 per parameter */
    int16_t what;      /* the component selector */
    uint32_t reserved; /* 0 */
    intptr_t params[8];
} QtmlComponentParams;
QTML_STATIC_ASSERT(offsetof(QtmlComponentParams, params) == 8, "params at 8");

typedef intptr_t (*QtmlDispatcher)(uint32_t selector, ...);
typedef intptr_t (*QtmlCallComponent)(intptr_t instance, QtmlComponentParams* params);
/* Calls function(storage, params) and answers its result (0 for a null function). */
typedef intptr_t (*QtmlComponentFunction)(intptr_t storage, QtmlComponentParams* params);
typedef intptr_t (*QtmlCallWithStorage)(intptr_t storage, QtmlComponentParams* params,
                                        QtmlComponentFunction function);

/* A rectangle in 16-bit coordinates, in this field order. */
typedef struct QtmlRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} QtmlRect;

/* A point in a time base: value units of scale per second. */
typedef struct QtmlTimeRecord {
    int64_t value;
    int32_t scale;
    intptr_t base;
} QtmlTimeRecord;

/* A window message as the window procedure received it (input of QTML_WINDOW_EVENT). */
typedef struct QtmlWindowMessage {
    uint32_t window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
    int32_t x;
    int32_t y;
} QtmlWindowMessage;

/* An event of the runtime (output of QTML_WINDOW_EVENT). */
typedef struct QtmlEvent {
    uint16_t what; /* QTML_EVENT_* */
    intptr_t message;
    uint32_t when;
    int32_t x;
    int32_t y;
    uint16_t modifiers;
} QtmlEvent;
#define QTML_EVENT_NULL 0
#define QTML_EVENT_MOUSE_DOWN 1
#define QTML_EVENT_MOUSE_UP 2
#define QTML_EVENT_KEY_DOWN 3
#define QTML_EVENT_UPDATE 6   /* the window needs its picture again (message: the window) */
#define QTML_EVENT_ACTIVATE 8 /* message: the window */

/* A handle: a pointer to the pointer to a block of bytes that the runtime may move. */
typedef char** QtmlHandle;

/* A controller's action filter: answers nonzero to consume the action. */
typedef int32_t (*QtmlActionFilter)(intptr_t controller, int32_t action, intptr_t argument,
                                    intptr_t refCon);

/* Selectors. Arguments in order; "-> x" is the result. */
/* Windows: */
#define QTML_INITIALIZE 0x1D0008u      /* flags -> error */
#define QTML_TERMINATE 0x1D0009u       /* -> 0 */
#define QTML_REGISTER_WINDOW 0x1D0001u /* window, 0, flags -> port, 0 on failure */
#define QTML_UNREGISTER_PORT 0x1D0002u /* port -> 0 */
#define QTML_WINDOW_PORT 0x1D0003u     /* window -> port of a registered window, else 0 */
#define QTML_WINDOW_EVENT 0x1D000Au    /* QtmlWindowMessage*, QtmlEvent* out -> 0 converted */
/* Memory: */
#define QTML_MEM_ERROR 0x150006u      /* -> error of the last handle call */
#define QTML_NEW_HANDLE 0x15000Au     /* size -> handle, 0 on failure */
#define QTML_DISPOSE_HANDLE 0x150032u /* handle -> 0 */
#define QTML_HANDLE_SIZE 0x150034u    /* handle -> byte count */
#define QTML_COPY_BYTES 0x15003Eu     /* source, destination, count -> 0 */
/* Movies: */
#define QTML_ENTER_MOVIES 0x20001u       /* -> error */
#define QTML_EXIT_MOVIES 0x20002u        /* -> 0 */
#define QTML_MOVIES_ERROR 0x20004u       /* -> the movie toolbox error, 0 none */
#define QTML_CLEAR_MOVIES_ERROR 0x200DEu /* -> 0 */
#define QTML_MOVIES_TASK 0x20005u        /* movie (0: every movie), 0 -> 0 */
#define QTML_NEW_MOVIE_FROM_REF                                                                  \
    0x20220u                             /* intptr_t* movie out, flags, 0, handle, type -> error \
                                          */
#define QTML_DISPOSE_MOVIE 0x20023u      /* movie -> 0 */
#define QTML_LOAD_STATE 0x20314u         /* movie -> load state */
#define QTML_IS_MOVIE_DONE 0x200DDu      /* movie -> 1 when played to its end */
#define QTML_SET_MOVIE_PORT 0x20016u     /* movie, port or buffer, 0 -> 0 */
#define QTML_NATURAL_BOX 0x200F9u        /* movie, QtmlRect* out -> 0 */
#define QTML_SET_MOVIE_BOX 0x200FAu      /* movie, const QtmlRect* -> 0 */
#define QTML_UPDATE_MOVIE 0x2001Fu       /* movie -> 0: draws the current picture again */
#define QTML_PREPARE_MOVIE 0x200F3u      /* movie -> 0 */
#define QTML_MOVIE_OPTION 0x201A1u       /* movie, options, mask -> 0 */
#define QTML_TIME_SCALE 0x20029u         /* movie -> units per second */
#define QTML_DURATION 0x2002Bu           /* movie -> units */
#define QTML_TIME_BASE 0x20012u          /* movie -> time base */
#define QTML_CURRENT_TIME 0x20039u       /* movie, QtmlTimeRecord* out -> value */
#define QTML_TIME_RANGE 0x2015Du         /* movie, int64_t* first out, int64_t* last out -> 0 */
#define QTML_USER_DATA 0x2003Eu          /* movie -> user data, 0 when none */
#define QTML_USER_DATA_TEXT 0x2014Du     /* user data, handle, type, index, 0 -> error */
#define QTML_NEW_CONTROLLER 0x2018Au     /* movie, const QtmlRect*, flags -> controller */
#define QTML_DISPOSE_CONTROLLER 0x2018Bu /* controller -> 0 */
/* Off-screen buffers: */
#define QTML_NEW_BUFFER \
    0x30080u /* intptr_t* buffer out, format, const QtmlRect*, 0, 0, 0 -> error */
#define QTML_UPDATE_BUFFER \
    0x30081u /* intptr_t* buffer in/out, format, const QtmlRect*, 0, 0, 0 -> error */
#define QTML_DISPOSE_BUFFER 0x1C0005u /* buffer -> 0 */
/* Components: */
#define QTML_CALL_COMPONENT 0x10000u /* instance, QtmlComponentParams* -> the call's result */

/* Component selectors of a movie controller. */
#define QTML_MC_IS_PLAYER_EVENT 7    /* QtmlEvent* -> 1 when the controller used it */
#define QTML_MC_DO_ACTION 9          /* action, argument -> 0 */
#define QTML_MC_SET_ACTION_FILTER 45 /* QtmlActionFilter, refCon -> 0 */

/* Controller actions. */
#define QTML_ACTION_PLAY 8              /* argument: rate, 0 stopped, 1 playing */
#define QTML_ACTION_GO_TO_TIME 12       /* argument: QtmlTimeRecord* */
#define QTML_ACTION_SET_VOLUME 14       /* argument: volume, 256 full (8.8 fixed point) */
#define QTML_ACTION_SIZE_CHANGED 26     /* the controller's box changed (to the filter only) */
#define QTML_ACTION_PREROLL_AND_PLAY 55 /* argument: rate; reported to the filter as PLAY */

/* Flags and values. */
#define QTML_NEW_MOVIE_ACTIVE 0x1u
#define QTML_NEW_MOVIE_ASYNC 0x100u
#define QTML_CONTROLLER_INVISIBLE 0x8u
#define QTML_FOURCC(a, b, c, d)                                        \
    (((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | \
     ((uint32_t)(uint8_t)(c) << 8) | (uint32_t)(uint8_t)(d))
#define QTML_REF_URL QTML_FOURCC('u', 'r', 'l', ' ')
#define QTML_PIXELS_BGRA QTML_FOURCC('B', 'G', 'R', 'A')
#define QTML_TEXT_NAME QTML_FOURCC(0xA9, 'n', 'a', 'm')

/* Load states (QTML_LOAD_STATE). */
#define QTML_LOAD_LOADING 1000
#define QTML_LOAD_PLAYABLE 10000
#define QTML_LOAD_PLAYTHROUGH 20000

/* Errors. */
#define QTML_ERR_PARAM (-50) /* also: an "rtsp:" stream that failed */
#define QTML_ERR_MEMORY (-108)
#define QTML_ERR_NOT_FOUND (-2026) /* user data text absent; protected content */
#define QTML_ERR_BAD_MOVIE (-2048) /* a movie that could not be opened */
#define QTML_ERR_UNIMPLEMENTED (-2)
#define QTML_ERR_NO_LIBRARY (-2093) /* binding: the library was not found */
#define QTML_ERR_NO_ENTRY (-2094)   /* binding: an entry point is missing */
#define QTML_ERR_NOT_BOUND (-2095)  /* binding: an operation while not bound */

#ifdef __cplusplus
}
#endif

#endif /* QTML_QTML_H */
