/* The output module record: the table through which a sound output library ("out_*.so") and the
 * host meet, and the function such a library exports.
 *
 * The record belongs to the plug-in and lives in its memory as long as the library is loaded. The
 * host writes fileName, hostWindow and libraryHandle; it calls only init, quit, open and close, on
 * its main thread. Input plug-ins call open to getWrittenTime of the output they were given, from
 * their own threads.
 *
 * Order: load -> host fields filled -> init -> (open, write..., close)* -> quit -> unload. */
#ifndef SONARI_OUT_MODULE_H
#define SONARI_OUT_MODULE_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

/* The only version the host loads. */
#define SONARI_OUT_VERSION 0x10

typedef struct SonariOutModule {
    /* 0  plug-in: SONARI_OUT_VERSION. */
    int32_t version;
    /* 1  plug-in: text naming the plug-in. */
    const char* description;
    /* 2  plug-in, then host: the plug-in may put an identifier here (a number cast to a pointer
     *    will do); at load the host replaces it with its own copy of the library's file name
     *    without folder ("out_x.so"), which stays valid until unload. */
    char* fileName;
    /* 3  host: the server window. */
    SonariWindow hostWindow;
    /* 4  host: this library's handle. */
    SonariLibrary libraryHandle;
    /* 5, 6  plug-in: configuration dialog and about box (the host does not call them). */
    void (*configure)(SonariWindow parentWindow);
    void (*about)(SonariWindow parentWindow);
    /* 7  plug-in: called once, right after loading. */
    void (*init)(void);
    /* 8  plug-in: called once, right before unloading. */
    void (*quit)(void);
    /* 9  plug-in: prepares for PCM of this format; -1 for either time asks for the plug-in's own
     *    choice; a negative answer is a failure. */
    int32_t (*open)(int32_t sampleRate, int32_t channels, int32_t bitsPerSample, int32_t bufferMs,
                    int32_t prebufferMs);
    /* 10 plug-in: end of stream. */
    void (*close)(void);
    /* 11 plug-in: hands over byteCount bytes of PCM; 0 when accepted. */
    int32_t (*write)(const char* buffer, int32_t byteCount);
    /* 12 plug-in: how many bytes write takes now. */
    int32_t (*canWrite)(void);
    /* 13 plug-in: nonzero while written sound is still being played. */
    int32_t (*isPlaying)(void);
    /* 14 plug-in: pause (1) or resume (0); answers the previous state. */
    int32_t (*pause)(int32_t flag);
    /* 15 plug-in: volume 0 to 255. */
    void (*setVolume)(int32_t volume);
    /* 16 plug-in: balance, -128 to 127. */
    void (*setPan)(int32_t pan);
    /* 17 plug-in: drops what is buffered and continues from the position ms. */
    void (*flush)(int32_t ms);
    /* 18 plug-in: milliseconds played. */
    int32_t (*getOutputTime)(void);
    /* 19 plug-in: milliseconds written. */
    int32_t (*getWrittenTime)(void);
} SonariOutModule;

/* The one required export: answers the library's record, or null when the library cannot serve. */
typedef SonariOutModule* (*SonariGetOutModuleFn)(void);
#define SONARI_GET_OUT_MODULE "sonariGetOutModule"

/* Layout on x86-64: every field at its fixed offset, in the defined order. */
#define SONARI_OUT_OFFSET(field, offset) \
    SONARI_STATIC_ASSERT(offsetof(SonariOutModule, field) == (offset), "SonariOutModule." #field)
SONARI_OUT_OFFSET(version, 0);
SONARI_OUT_OFFSET(description, 8);
SONARI_OUT_OFFSET(fileName, 16);
SONARI_OUT_OFFSET(hostWindow, 24);
SONARI_OUT_OFFSET(libraryHandle, 32);
SONARI_OUT_OFFSET(configure, 40);
SONARI_OUT_OFFSET(about, 48);
SONARI_OUT_OFFSET(init, 56);
SONARI_OUT_OFFSET(quit, 64);
SONARI_OUT_OFFSET(open, 72);
SONARI_OUT_OFFSET(close, 80);
SONARI_OUT_OFFSET(write, 88);
SONARI_OUT_OFFSET(canWrite, 96);
SONARI_OUT_OFFSET(isPlaying, 104);
SONARI_OUT_OFFSET(pause, 112);
SONARI_OUT_OFFSET(setVolume, 120);
SONARI_OUT_OFFSET(setPan, 128);
SONARI_OUT_OFFSET(flush, 136);
SONARI_OUT_OFFSET(getOutputTime, 144);
SONARI_OUT_OFFSET(getWrittenTime, 152);
SONARI_STATIC_ASSERT(sizeof(SonariOutModule) == 160, "SonariOutModule size");
#undef SONARI_OUT_OFFSET

SONARI_EXTERN_C_END

#endif /* SONARI_OUT_MODULE_H */
