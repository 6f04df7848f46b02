// The exports of an encoder library (sonari/encoder.h) over what the plug-in defines
// (encoder_plugin.h) and the shared encoder object (encoder_object.h). No export throws.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_object.h"
#include "plugins/enc_common/encoder_plugin.h"

using namespace kinvo::enc;

extern "C" {

SONARI_EXPORT SonariEncoder* CreateAudio3(int32_t channels, int32_t sampleRate,
                                          int32_t bitsPerSample, uint32_t inputType,
                                          uint32_t* outputType, const char* configFile) {
    if (outputType == nullptr || *outputType != plugin::kOutputType) {
        return nullptr;
    }
    try {
        return createEncoder(plugin::settingsFrom(configFile), channels, sampleRate, bitsPerSample,
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
    return storeOption(plugin::kOutputType, plugin::optionRules(), outputType, item, value,
                       configFile);
}

}  // extern "C"

// The exports have the interface's types.
[[maybe_unused]] constexpr SonariCreateAudio3 kCreateType = &CreateAudio3;
[[maybe_unused]] constexpr SonariPrepareToFinish kPrepareType = &PrepareToFinish;
[[maybe_unused]] constexpr SonariFinishAudio3 kFinishType = &FinishAudio3;
[[maybe_unused]] constexpr SonariSetConfigItem kSetConfigType = &SetConfigItem;
