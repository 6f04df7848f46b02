// The extended-read exports of the test WAV decoder. A source whose name contains ".slow."
// delivers each block 50 ms late, so that a test can end a conversion midway.
#include <sonari/extended_read.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "axserver/convert/tests/plugins/wav_source.h"

namespace {

using convert_test::WavSource;

struct Reader {
    std::unique_ptr<WavSource> source;
    bool slow = false;
};

thread_local char lastError[256];  // trivially destructible, like in_av's

}  // namespace

extern "C" {

SONARI_EXPORT SonariReadHandle sonariGetExtendedRead_open(const char* fileName, int32_t* totalBytes,
                                                          int32_t* bitsPerSample, int32_t* channels,
                                                          int32_t* sampleRate) {
    auto reader = std::make_unique<Reader>();
    std::string error;
    reader->source = WavSource::open(fileName, error);
    if (!reader->source) {
        std::snprintf(lastError, sizeof lastError, "%s", error.c_str());
        return 0;
    }
    lastError[0] = '\0';
    reader->slow = std::strstr(fileName, ".slow.") != nullptr;
    *totalBytes = static_cast<int32_t>(reader->source->dataBytes);
    *bitsPerSample = reader->source->bits;
    *channels = reader->source->channels;
    *sampleRate = reader->source->rate;
    return reinterpret_cast<SonariReadHandle>(reader.release());
}

SONARI_EXPORT int32_t sonariGetExtendedRead_getData(SonariReadHandle handle, char* buffer,
                                                    int32_t bufferSize,
                                                    const volatile int32_t* stopFlag) {
    auto* reader = reinterpret_cast<Reader*>(handle);
    if (reader->slow) {
        for (int i = 0; i < 10 && __atomic_load_n(stopFlag, __ATOMIC_RELAXED) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (__atomic_load_n(stopFlag, __ATOMIC_RELAXED) != 0) {
        return 0;
    }
    return reader->source->read(buffer, bufferSize);
}

SONARI_EXPORT void sonariGetExtendedRead_close(SonariReadHandle handle) {
    delete reinterpret_cast<Reader*>(handle);
}

SONARI_EXPORT const char* sonariGetExtendedRead_lasterror() {
    return lastError[0] == '\0' ? nullptr : lastError;
}

}  // extern "C"
