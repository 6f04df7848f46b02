// enc_opus: PCM into Ogg Opus files (libopus), for the output type "OPUS". Options in the
// "[OPUS]" section: bitrate in kbit/s, 6 to 510 (default 128); complexity, 0 to 10 (default 10).
// The encoder runs at 48 kHz: other rates are resampled. 1 to 8 channels in the WAVE order.
//
// Threads and errors as in plugins/enc_common/encoder_object.h; no entry throws.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_object.h"
#include "plugins/enc_common/options.h"

namespace {

using namespace kinvo::enc;

constexpr uint32_t kType = SONARI_FOURCC('O', 'P', 'U', 'S');

bool validBitrate(std::string_view value) {
    return parseWhole(value, 6, 510).has_value();
}
bool validComplexity(std::string_view value) {
    return parseWhole(value, 0, 10).has_value();
}

constexpr OptionRule kRules[] = {{"bitrate", &validBitrate, "128"},
                                 {"complexity", &validComplexity, "10"}};

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "libopus";
    settings.muxer = "ogg";
    settings.sampleRate = 48000;
    settings.bitRate =
        int64_t{1000} * parseWhole(readOption(kType, kRules[0], configFile), 6, 510).value_or(128);
    settings.compressionLevel = parseWhole(readOption(kType, kRules[1], configFile), 0, 10);
    return settings;
}

}  // namespace

extern "C" {

SONARI_EXPORT SonariEncoder* CreateAudio3(int32_t channels, int32_t sampleRate,
                                          int32_t bitsPerSample, uint32_t inputType,
                                          uint32_t* outputType, const char* configFile) {
    if (outputType == nullptr || *outputType != kType) {
        return nullptr;
    }
    try {
        return createEncoder(settingsFrom(configFile), channels, sampleRate, bitsPerSample,
                             inputType);
    } catch (...) {
        return nullptr;
    }
}

SONARI_EXPORT void PrepareToFinish(const char* /*fileName*/, SonariEncoder* encoder) {
    prepareToFinish(encoder);
}

SONARI_EXPORT void FinishAudio3(const char* fileName, SonariEncoder* encoder) {
    finishAudio(fileName, encoder);
}

SONARI_EXPORT int32_t SetConfigItem(uint32_t outputType, const char* item, const char* value,
                                    const char* configFile) {
    return storeOption(kType, kRules, outputType, item, value, configFile);
}

}  // extern "C"

// The exports have the interface's types.
[[maybe_unused]] constexpr SonariCreateAudio3 kCreateType = &CreateAudio3;
[[maybe_unused]] constexpr SonariPrepareToFinish kPrepareType = &PrepareToFinish;
[[maybe_unused]] constexpr SonariFinishAudio3 kFinishType = &FinishAudio3;
[[maybe_unused]] constexpr SonariSetConfigItem kSetConfigType = &SetConfigItem;
