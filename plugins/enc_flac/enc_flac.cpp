// enc_flac: PCM into FLAC files, for the output type "FLAC". Options in the "[FLAC]" section:
// compression_level, 0 to 12 (default 5). Any rate FLAC takes, 1 to 8 channels; 24 and 32-bit
// input is kept at 24 bits. The stream information (total samples, checksum) is written into the
// file's header after the host closes the file.
//
// Threads and errors as in plugins/enc_common/encoder_object.h; the exports are
// plugins/enc_common/encoder_exports.cpp.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_plugin.h"

namespace kinvo::enc::plugin {

const uint32_t kOutputType = SONARI_FOURCC('F', 'L', 'A', 'C');

namespace {

bool validLevel(std::string_view value) {
    return parseWhole(value, 0, 12).has_value();
}

constexpr OptionRule kRules[] = {{"compression_level", &validLevel, "5"}};

}  // namespace

std::span<const OptionRule> optionRules() noexcept {
    return kRules;
}

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "flac";
    settings.muxer = "flac";
    settings.compressionLevel = parseWhole(readOption(kOutputType, kRules[0], configFile), 0, 12);
    return settings;
}

}  // namespace kinvo::enc::plugin
