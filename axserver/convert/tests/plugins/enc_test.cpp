// A test encoder library for the type "TEST": the file is "TEST", the PCM as it came, "END!"
// once the host has drained it after PrepareToFinish, and "FIN" that FinishAudio3 appends after
// the host closed the file. Its one option, "quality" of "TEST", goes into the configuration
// file as "quality=<value>".
#include <sonari/encoder.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kType = SONARI_FOURCC('T', 'E', 'S', 'T');

struct TestEncoder : SonariEncoder {
    bool headerDone = false;
    bool finishing = false;
    bool trailerDone = false;
};

int32_t encode(SonariEncoder* self, int32_t, const void* input, int32_t inputBytes,
               int32_t* inputUsed, void* output, int32_t capacity) {
    auto* encoder = static_cast<TestEncoder*>(self);
    auto* out = static_cast<char*>(output);
    int32_t made = 0;
    *inputUsed = 0;
    if (!encoder->headerDone && capacity >= 4) {
        std::memcpy(out, "TEST", 4);
        encoder->headerDone = true;
        made = 4;
    }
    const int32_t n = std::min(inputBytes, capacity - made);
    if (n > 0) {
        std::memcpy(out + made, input, static_cast<size_t>(n));
        *inputUsed = n;
        made += n;
    }
    if (encoder->finishing && !encoder->trailerDone && inputBytes == 0 && capacity - made >= 4) {
        std::memcpy(out + made, "END!", 4);
        encoder->trailerDone = true;
        made += 4;
    }
    return made;
}

void destroy(SonariEncoder* self) {
    delete static_cast<TestEncoder*>(self);
}

const SonariEncoderOps kOps = {encode, destroy};

}  // namespace

extern "C" {

SONARI_EXPORT SonariEncoder* CreateAudio3(int32_t, int32_t, int32_t, uint32_t inputType,
                                          uint32_t* outputType, const char*) {
    if (inputType != SONARI_TYPE_PCM || *outputType != kType) {
        return nullptr;
    }
    auto* encoder = new TestEncoder;
    encoder->ops = &kOps;
    return encoder;
}

SONARI_EXPORT void PrepareToFinish(const char*, SonariEncoder* encoder) {
    static_cast<TestEncoder*>(encoder)->finishing = true;
}

SONARI_EXPORT void FinishAudio3(const char* fileName, SonariEncoder*) {
    if (std::FILE* file = std::fopen(fileName, "ab")) {
        std::fputs("FIN", file);
        std::fclose(file);
    }
}

SONARI_EXPORT int32_t SetConfigItem(uint32_t outputType, const char* item, const char* value,
                                    const char* configFile) {
    if (outputType != kType || std::string(item) != "quality") {
        return 0;
    }
    std::FILE* file = std::fopen(configFile, "w");
    if (file == nullptr) {
        return 0;
    }
    std::fprintf(file, "[TEST]\nquality=%s\n", value);
    std::fclose(file);
    return 1;
}

}  // extern "C"
