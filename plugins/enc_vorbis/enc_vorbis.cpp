// enc_vorbis: PCM into Ogg Vorbis files (libvorbis), for the output type "OGG ". Options in the
// "[OGG ]" section: quality, the variable-rate quality from -1 to 10, decimals allowed (default
// 5). Any rate, 1 to 8 channels in the WAVE order (which is Vorbis's).
//
// Threads and errors as in plugins/enc_common/encoder_object.h; no entry throws.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_object.h"
#include "plugins/enc_common/options.h"

namespace {

using namespace kinvo::enc;

constexpr uint32_t kType = SONARI_FOURCC('O', 'G', 'G', ' ');

bool validQuality(std::string_view value) {
    return parseDecimal(value, -1, 10).has_value();
}

constexpr OptionRule kRules[] = {{"quality", &validQuality, "5"}};

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "libvorbis";
    settings.muxer = "ogg";
    settings.quality = parseDecimal(readOption(kType, kRules[0], configFile), -1, 10);
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
