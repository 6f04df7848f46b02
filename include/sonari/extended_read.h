/* Extended read: what an input library exports so that a conversion reads its decoded PCM as
 * fast as it can decode, without playing it. The host looks the four functions up by name; only
 * sonariGetExtendedRead_open decides whether a library offers the path, the others are taken as
 * found (a library that exports open exports all four).
 *
 * Threads: open and lasterror are called on the host's main thread, getData on the conversion's
 * worker thread, close on the worker thread once getData is done with the handle. Handles are
 * independent: several conversions may read at once, each through its own handle.
 *
 * Order: open -> getData ... (until it answers 0 or less, or the stop flag is set) -> close. */
#ifndef SONARI_EXTENDED_READ_H
#define SONARI_EXTENDED_READ_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

/* A decoder's read handle; 0 is none. */
typedef intptr_t SonariReadHandle;

/* Opens fileName for decoding. On success writes the decoded stream's expected size in bytes
 * (0 or negative when unknown), its bits per sample (8, 16, 24 or 32), channels and sample rate,
 * and answers a handle; on failure answers 0 and leaves a text for lasterror. */
typedef SonariReadHandle (*SonariExtendedReadOpen)(const char* fileName, int32_t* totalBytes,
                                                   int32_t* bitsPerSample, int32_t* channels,
                                                   int32_t* sampleRate);
/* Fills at most bufferSize bytes of interleaved little-endian PCM (whole sample frames) and
 * answers how many: 0 at the end of the stream, negative on a decoding error. Returns early,
 * with what it has, when *stopFlag becomes nonzero (the host sets it from another thread). */
typedef int32_t (*SonariExtendedReadGetData)(SonariReadHandle handle, char* buffer,
                                             int32_t bufferSize, const volatile int32_t* stopFlag);
/* Ends the read and frees the handle. */
typedef void (*SonariExtendedReadClose)(SonariReadHandle handle);
/* The last failure of open on this thread as text, or null when there is none. The text stays
 * valid until the next call into the library. */
typedef const char* (*SonariExtendedReadLastError)(void);

/* The export names. */
#define SONARI_EXTENDED_READ_OPEN "sonariGetExtendedRead_open"
#define SONARI_EXTENDED_READ_GET_DATA "sonariGetExtendedRead_getData"
#define SONARI_EXTENDED_READ_CLOSE "sonariGetExtendedRead_close"
#define SONARI_EXTENDED_READ_LAST_ERROR "sonariGetExtendedRead_lasterror"

SONARI_EXTERN_C_END

#endif /* SONARI_EXTENDED_READ_H */
