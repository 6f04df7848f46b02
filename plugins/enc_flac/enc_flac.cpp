// enc_flac: PCM into FLAC files, for the output type "FLAC". Options in the "[FLAC]" section:
// compression_level, 0 to 12 (default 5). Any rate FLAC takes, 1 to 8 channels; 24 and 32-bit
// input is kept at 24 bits. The stream information (total samples, checksum) is written into the
// file's header after the host closes the file.
//
// Threads and errors as in plugins/enc_common/encoder_object.h; no entry throws.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_object.h"
#include "plugins/enc_common/options.h"

namespace {

using namespace kinvo::enc;

constexpr uint32_t kType = SONARI_FOURCC('F', 'L', 'A', 'C');

bool validLevel(std::string_view value) {
    return parseWhole(value, 0, 12).has_value();
}

constexpr OptionRule kRules[] = {{"compression_level", &validLevel, "5"}};

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "flac";
    settings.muxer = "flac";
    settings.compressionLevel = parseWhole(readOption(kType, kRules[0], configFile), 0, 12);
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
