// enc_opus: PCM into Ogg Opus files (libopus), for the output type "OPUS". Options in the
// "[OPUS]" section: bitrate in kbit/s, 6 to 510 (default 128); complexity, 0 to 10 (default 10).
// The encoder runs at 48 kHz: other rates are resampled. 1 to 8 channels in the WAVE order.
//
// Threads and errors as in plugins/enc_common/encoder_object.h; the exports are
// plugins/enc_common/encoder_exports.cpp.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_plugin.h"

namespace kinvo::enc::plugin {

const uint32_t kOutputType = SONARI_FOURCC('O', 'P', 'U', 'S');

namespace {

bool validBitrate(std::string_view value) {
    return parseWhole(value, 6, 510).has_value();
}
bool validComplexity(std::string_view value) {
    return parseWhole(value, 0, 10).has_value();
}

constexpr OptionRule kRules[] = {{"bitrate", &validBitrate, "128"},
                                 {"complexity", &validComplexity, "10"}};

}  // namespace

std::span<const OptionRule> optionRules() noexcept {
    return kRules;
}

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "libopus";
    settings.muxer = "ogg";
    settings.sampleRate = 48000;
    settings.bitRate =
        int64_t{1000} *
        parseWhole(readOption(kOutputType, kRules[0], configFile), 6, 510).value_or(128);
    settings.compressionLevel = parseWhole(readOption(kOutputType, kRules[1], configFile), 0, 10);
    return settings;
}

}  // namespace kinvo::enc::plugin
