// enc_vorbis: PCM into Ogg Vorbis files (libvorbis), for the output type "OGG ". Options in the
// "[OGG ]" section: quality, the variable-rate quality from -1 to 10, decimals allowed (default
// 5). Any rate, 1 to 8 channels in the WAVE order (which is Vorbis's).
//
// Threads and errors as in plugins/enc_common/encoder_object.h; the exports are
// plugins/enc_common/encoder_exports.cpp.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_plugin.h"

namespace kinvo::enc::plugin {

const uint32_t kOutputType = SONARI_FOURCC('O', 'G', 'G', ' ');

namespace {

bool validQuality(std::string_view value) {
    return parseDecimal(value, -1, 10).has_value();
}

constexpr OptionRule kRules[] = {{"quality", &validQuality, "5"}};

}  // namespace

std::span<const OptionRule> optionRules() noexcept {
    return kRules;
}

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "libvorbis";
    settings.muxer = "ogg";
    settings.quality = parseDecimal(readOption(kOutputType, kRules[0], configFile), -1, 10);
    return settings;
}

}  // namespace kinvo::enc::plugin
