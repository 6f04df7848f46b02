// The extended-read exports of in_av.so (include/sonari/extended_read.h): a conversion reads a
// file's decoded sound through them as fast as it decodes, on a reader of its own per handle
// (extended_reader.h), independent of what plays and of each other.
//
// The PCM is always 16-bit, at the source's own rate with all of its channels; a source of 8, 24
// or 32-bit integer PCM is narrowed to 16 bits like any other. totalBytes comes from the
// container's duration (0 unknown, or past 2 GB).
//
// Threads: any thread may open; a handle is used by one thread at a time. lasterror keeps one
// text per thread: the last failed open's on that thread ("cannot open <file>: <reason>", "not
// an audio file: <file>"), null once an open on that thread succeeds.
// Error policy: no exception leaves an export; open answers 0, getData -1 on a read failure,
// close and getData ignore a null handle (getData answers 0 for it).
#include <sonari/extended_read.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "plugins/in_av/extended_reader.h"
#include "plugins/in_av/log_once.h"

namespace {

using kinvo::in_av::ExtendedReader;

// Trivially destructible on purpose: a thread_local with a destructor registers an exit handler
// inside this library, which then outlives dlclose. Longer texts are cut.
thread_local char lastError[512];

void setLastError(const std::string& text) noexcept {
    const size_t n = std::min(text.size(), sizeof lastError - 1);
    std::memcpy(lastError, text.data(), n);
    lastError[n] = '\0';
}

}  // namespace

extern "C" SONARI_EXPORT SonariReadHandle sonariGetExtendedRead_open(const char* fileName,
                                                                     int32_t* totalBytes,
                                                                     int32_t* bitsPerSample,
                                                                     int32_t* channels,
                                                                     int32_t* sampleRate) {
    try {
        lastError[0] = '\0';
        if (fileName == nullptr || fileName[0] == '\0') {
            setLastError("cannot open: no file name");
            return 0;
        }
        kinvo::in_av::applyLogLevelOnce();
        std::string error;
        std::unique_ptr<ExtendedReader> reader = ExtendedReader::open(fileName, error);
        if (!reader) {
            setLastError(error);
            return 0;
        }
        const ExtendedReader::Format& format = reader->format();
        if (totalBytes != nullptr) {
            *totalBytes = format.totalBytes;
        }
        if (bitsPerSample != nullptr) {
            *bitsPerSample = format.bitsPerSample;
        }
        if (channels != nullptr) {
            *channels = format.channels;
        }
        if (sampleRate != nullptr) {
            *sampleRate = format.sampleRate;
        }
        return reinterpret_cast<SonariReadHandle>(reader.release());
    } catch (...) {
        setLastError("out of memory");
        return 0;
    }
}

extern "C" SONARI_EXPORT int32_t sonariGetExtendedRead_getData(SonariReadHandle handle,
                                                               char* buffer, int32_t bufferSize,
                                                               const volatile int32_t* stopFlag) {
    if (handle == 0) {
        return 0;
    }
    return reinterpret_cast<ExtendedReader*>(handle)->read(buffer, bufferSize, stopFlag);
}

extern "C" SONARI_EXPORT void sonariGetExtendedRead_close(SonariReadHandle handle) {
    delete reinterpret_cast<ExtendedReader*>(handle);
}

extern "C" SONARI_EXPORT const char* sonariGetExtendedRead_lasterror(void) {
    return lastError[0] == '\0' ? nullptr : lastError;
}
