/* The input module record: the table through which a decoder library ("in_*.so") and the host
 * meet, and the functions such a library exports.
 *
 * The record belongs to the plug-in and lives in its memory as long as the library is loaded. The
 * host keeps a pointer to it and writes the fields marked "host" below, once, while loading the
 * library (before init) and, for hostWindow and outputModule, before each play.
 *
 * Threads: the host calls every plug-in entry on its main thread. The plug-in may call the host
 * entries (visInit to dspProcess, setStreamInfo, reportAddress, postStatus, sendMetadata,
 * postEvent) from any thread of its own between play and the end of stop. None of them throws or
 * keeps a pointer to the texts it is given.
 *
 * Order: load -> host fields filled -> init -> (getFileInfo, claimsFile, play, pause, stop, ...)*
 * -> quit -> unload. */
#ifndef SONARI_IN_MODULE_H
#define SONARI_IN_MODULE_H

#include "out_module.h"
#include "types.h"

SONARI_EXTERN_C_BEGIN

/* Interface versions. The host loads records up to SONARI_IN_VERSION_LATEST. */
#define SONARI_IN_VERSION_BASE 0x100 /* without details and without the client callbacks */
#define SONARI_IN_VERSION_DETAILS                                                               \
    0x101                              /* + getDetails, reportAddress, postStatus, sendMetadata \
                                        */
#define SONARI_IN_VERSION_EVENTS 0x102 /* + postEvent */
#define SONARI_IN_VERSION_LATEST SONARI_IN_VERSION_EVENTS

/* Bits of the flags field. */
#define SONARI_IN_USES_OUTPUT 0x1 /* plays its sound through outputModule */
#define SONARI_IN_OWN_EQUALIZER                                      \
    0x2 /* applies the equaliser itself (cleared at load, see below) \
         */

/* getFileInfo writes at most this many bytes (the zero included) into its title. */
#define SONARI_IN_TITLE_SIZE 2048
/* Each of the six getDetails text buffers holds this many bytes (the zero included). */
#define SONARI_IN_DETAILS_TEXT_SIZE 8196
/* Number of values visAdd stores; bands of setEqualizer; neutral equaliser level. */
#define SONARI_VIS_VALUES 75
#define SONARI_EQ_BANDS 10
#define SONARI_EQ_NEUTRAL 31

typedef struct SonariInModule {
    /* 0  plug-in: interface version, one of SONARI_IN_VERSION_*. */
    int32_t version;
    /* 1  plug-in: text naming the plug-in. */
    const char* description;
    /* 2  host: the server window; the plug-in posts its messages there (see host_messages.h). */
    SonariWindow hostWindow;
    /* 3  host: this library's handle. */
    SonariLibrary libraryHandle;
    /* 4  plug-in: zero-terminated texts in pairs, an extension list ("mp3;mp2", extensions without
     *    dots) then its description ("MPEG audio"); the sequence ends with an empty text. */
    const char* fileTypes;
    /* 5  plug-in: nonzero when the plug-in can seek. */
    int32_t seekable;
    /* 6  plug-in and host: SONARI_IN_* bits. The host clears bits 1 and 2 when it loads the
     *    record; a plug-in that applies the equaliser itself sets bit 1 again in init. */
    int32_t flags;
    /* 7, 8  plug-in: configuration dialog and about box (the host does not call them). */
    void (*configure)(SonariWindow parentWindow);
    void (*about)(SonariWindow parentWindow);
    /* 9  plug-in: called once, right after loading. */
    void (*init)(void);
    /* 10 plug-in: called once, right before unloading. */
    void (*quit)(void);
    /* 11 plug-in: writes the title (at most SONARI_IN_TITLE_SIZE bytes; titleOut may be null) and
     *    the length in milliseconds (-1 unknown) of a file; "" means the stream that is playing. */
    void (*getFileInfo)(const char* file, char* titleOut, int32_t* lengthOut);
    /* 12 plug-in: file information dialog (the host does not call it). */
    void (*infoBox)(const char* file, SonariWindow parentWindow);
    /* 13 plug-in: nonzero when the plug-in takes this file or address whatever its extension. */
    int32_t (*claimsFile)(const char* file);
    /* 14 plug-in: starts playing; 0 started, any other value a failure code. */
    int32_t (*play)(const char* file);
    /* 15 to 18 plug-in: pause, resume, paused state (not called by the host), stop and release. */
    void (*pause)(void);
    void (*unpause)(void);
    int32_t (*isPaused)(void);
    void (*stop)(void);
    /* 19 plug-in: length in milliseconds, -1 unknown. */
    int32_t (*getLength)(void);
    /* 20 plug-in: position in milliseconds. */
    int32_t (*getOutputTime)(void);
    /* 21 plug-in: seek to a position in milliseconds. */
    void (*setOutputTime)(int32_t ms);
    /* 22 plug-in: volume 0 to 255. */
    void (*setVolume)(int32_t volume);
    /* 23 plug-in: balance, -128 (left) to 127 (right). */
    void (*setPan)(int32_t pan);
    /* 24 host: prepares the visualisation ring for this latency and sample rate. */
    void (*visInit)(int32_t maxLatencyMs, int32_t sampleRate);
    /* 25 host: drops the ring. */
    void (*visQuit)(void);
    /* 26 host: offers PCM for the visualisation: at least SONARI_VIS_VALUES frames of
     *    interleaved 8- or 16-bit samples. */
    void (*visAddPcm)(const void* samples, int32_t channels, int32_t bitsPerSample,
                      int32_t timestamp);
    /* 27 host: the kind of data visAdd wants. */
    int32_t (*visGetMode)(void);
    /* 28 host: stores SONARI_VIS_VALUES values; 1 when there is no ring, else 0. */
    int32_t (*visAdd)(const unsigned char* values, int32_t timestamp, int32_t kind);
    /* 29 to 32 host: the second visualisation family (accepted and ignored). */
    void (*visAddPcm2)(const void* samples, int32_t channels, int32_t bitsPerSample,
                       int32_t timestamp);
    int32_t (*visGetMode2)(void);
    int32_t (*visAdd2)(const unsigned char* values, int32_t timestamp, int32_t kind);
    void (*visSetInfo)(int32_t sampleRate, int32_t channels);
    /* 33 host: nonzero when dspProcess changes samples. */
    int32_t (*dspIsActive)(void);
    /* 34 host: processes count samples in place; answers the number of samples now there. */
    int32_t (*dspProcess)(void* samples, int32_t count, int32_t bitsPerSample, int32_t channels,
                          int32_t sampleRate);
    /* 35 plug-in: on (0/1), SONARI_EQ_BANDS band levels, preamp level (SONARI_EQ_NEUTRAL is
     *    neutral). The host calls it at play only when bit 1 of flags is set. May be null. */
    void (*setEqualizer)(int32_t on, const unsigned char* bands, int32_t preamp);
    /* 36 host: stream information; -1 in an argument leaves that value as it was. */
    void (*setStreamInfo)(int32_t info1, int32_t info2, int32_t info3, int32_t info4);
    /* 37 host: the output to play through when SONARI_IN_USES_OUTPUT is set; null otherwise. */
    SonariOutModule* outputModule;
    /* 38 plug-in, optional (version >= 0x101): fills six texts of SONARI_IN_DETAILS_TEXT_SIZE
     *    bytes and four numbers about a file; nonzero on success. */
    int32_t (*getDetails)(const char* file, char* text1, char* text2, char* text3, char* text4,
                          char* text5, char* text6, int32_t* num1, int32_t* num2, int32_t* num3,
                          int32_t* num4);
    /* 39 host (version >= 0x101): tells the client the address that plays. */
    void (*reportAddress)(const char* address);
    /* 40 host (version >= 0x101): posts a status code and value to the client. */
    void (*postStatus)(int32_t code, int32_t value);
    /* 41 host (version >= 0x101): sends a text and a number to the client; returns once the
     *    client has read them. */
    void (*sendMetadata)(const char* text, int32_t number);
    /* 42 host (version >= 0x102): posts an event code to the client. */
    void (*postEvent)(int32_t code);
} SonariInModule;

/* The one required export: answers the library's record, or null when the library cannot serve. */
typedef SonariInModule* (*SonariGetInModuleFn)(void);
#define SONARI_GET_IN_MODULE "sonariGetInModule2"

/* Optional export: writes the text value of key for file into out (outSize bytes, the zero
 * included); nonzero when it answered. Keys the host uses: "type" ("0" or "" for audio), "title",
 * "length" (milliseconds as decimal text), "setHttpConfigValues". */
typedef int32_t (*SonariGetExtendedFileInfoFn)(const char* file, const char* key, char* out,
                                               int32_t outSize);
#define SONARI_GET_EXTENDED_FILE_INFO "sonariGetExtendedFileInfo"

/* Optional export: sets key to value for file, to be written by the write export; nonzero when
 * accepted. */
typedef int32_t (*SonariSetExtendedFileInfoFn)(const char* file, const char* key,
                                               const char* value);
#define SONARI_SET_EXTENDED_FILE_INFO "sonariSetExtendedFileInfo"

/* Optional export: commits the items set before; nonzero on success. */
typedef int32_t (*SonariWriteExtendedFileInfoFn)(void);
#define SONARI_WRITE_EXTENDED_FILE_INFO "sonariWriteExtendedFileInfo"

/* Optional export of the plug-in whose description begins with SONARI_CUSTOM_DRM_PLUGIN. */
typedef void (*SonariSetUseCustomDrmFn)(int32_t value);
#define SONARI_SET_USE_CUSTOM_DRM "setUseCustomDRM"
#define SONARI_CUSTOM_DRM_PLUGIN "Kestrine WMA plug-in"

/* Layout on x86-64: every field at its fixed offset, in the defined order. */
#define SONARI_IN_OFFSET(field, offset) \
    SONARI_STATIC_ASSERT(offsetof(SonariInModule, field) == (offset), "SonariInModule." #field)
SONARI_IN_OFFSET(version, 0);
SONARI_IN_OFFSET(description, 8);
SONARI_IN_OFFSET(hostWindow, 16);
SONARI_IN_OFFSET(libraryHandle, 24);
SONARI_IN_OFFSET(fileTypes, 32);
SONARI_IN_OFFSET(seekable, 40);
SONARI_IN_OFFSET(flags, 44);
SONARI_IN_OFFSET(configure, 48);
SONARI_IN_OFFSET(about, 56);
SONARI_IN_OFFSET(init, 64);
SONARI_IN_OFFSET(quit, 72);
SONARI_IN_OFFSET(getFileInfo, 80);
SONARI_IN_OFFSET(infoBox, 88);
SONARI_IN_OFFSET(claimsFile, 96);
SONARI_IN_OFFSET(play, 104);
SONARI_IN_OFFSET(pause, 112);
SONARI_IN_OFFSET(unpause, 120);
SONARI_IN_OFFSET(isPaused, 128);
SONARI_IN_OFFSET(stop, 136);
SONARI_IN_OFFSET(getLength, 144);
SONARI_IN_OFFSET(getOutputTime, 152);
SONARI_IN_OFFSET(setOutputTime, 160);
SONARI_IN_OFFSET(setVolume, 168);
SONARI_IN_OFFSET(setPan, 176);
SONARI_IN_OFFSET(visInit, 184);
SONARI_IN_OFFSET(visQuit, 192);
SONARI_IN_OFFSET(visAddPcm, 200);
SONARI_IN_OFFSET(visGetMode, 208);
SONARI_IN_OFFSET(visAdd, 216);
SONARI_IN_OFFSET(visAddPcm2, 224);
SONARI_IN_OFFSET(visGetMode2, 232);
SONARI_IN_OFFSET(visAdd2, 240);
SONARI_IN_OFFSET(visSetInfo, 248);
SONARI_IN_OFFSET(dspIsActive, 256);
SONARI_IN_OFFSET(dspProcess, 264);
SONARI_IN_OFFSET(setEqualizer, 272);
SONARI_IN_OFFSET(setStreamInfo, 280);
SONARI_IN_OFFSET(outputModule, 288);
SONARI_IN_OFFSET(getDetails, 296);
SONARI_IN_OFFSET(reportAddress, 304);
SONARI_IN_OFFSET(postStatus, 312);
SONARI_IN_OFFSET(sendMetadata, 320);
SONARI_IN_OFFSET(postEvent, 328);
SONARI_STATIC_ASSERT(sizeof(SonariInModule) == 336, "SonariInModule size");
#undef SONARI_IN_OFFSET

SONARI_EXTERN_C_END

#endif /* SONARI_IN_MODULE_H */
