// enc_mp3: PCM into MP3 files (libmp3lame), for the output type "MP3 ". Options in the "[MP3 ]"
// section: bitrate, a constant rate in kbit/s (32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192,
// 224, 256, 320; default 192); quality, the encoder's effort from 0 (best) to 9 (default 2); vbr,
// "off" (default) or a variable-rate quality from 0 (best) to 9, which then replaces the bitrate.
// Rates MP3 lacks are resampled to the next higher one (else 48 kHz); more than two channels are
// mixed down to stereo. The gapless-info header (delay, padding, length, seek table) is written
// into the file after the host closes it, so decoders give back exactly the input's length.
//
// Threads and errors as in plugins/enc_common/encoder_object.h; the exports are
// plugins/enc_common/encoder_exports.cpp.
#include <sonari/encoder.h>

#include "plugins/enc_common/encoder_plugin.h"

namespace kinvo::enc::plugin {

const uint32_t kOutputType = SONARI_FOURCC('M', 'P', '3', ' ');

namespace {

std::optional<int> bitrateOf(std::string_view value) {
    static constexpr int kRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    const auto rate = parseWhole(value, 32, 320);
    for (int allowed : kRates) {
        if (rate == allowed) {
            return rate;
        }
    }
    return std::nullopt;
}

bool validBitrate(std::string_view value) {
    return bitrateOf(value).has_value();
}
bool validQuality(std::string_view value) {
    return parseWhole(value, 0, 9).has_value();
}
bool validVbr(std::string_view value) {
    return value == "off" || parseWhole(value, 0, 9).has_value();
}

constexpr OptionRule kRules[] = {
    {"bitrate", &validBitrate, "192"}, {"quality", &validQuality, "2"}, {"vbr", &validVbr, "off"}};

}  // namespace

std::span<const OptionRule> optionRules() noexcept {
    return kRules;
}

EncoderSettings settingsFrom(const char* configFile) {
    EncoderSettings settings;
    settings.encoder = "libmp3lame";
    settings.muxer = "mp3";
    settings.maxChannels = 2;
    settings.compressionLevel = parseWhole(readOption(kOutputType, kRules[1], configFile), 0, 9);
    if (const auto vbr = parseWhole(readOption(kOutputType, kRules[2], configFile), 0, 9)) {
        settings.quality = *vbr;
    } else {
        settings.bitRate =
            int64_t{1000} * bitrateOf(readOption(kOutputType, kRules[0], configFile)).value_or(192);
    }
    return settings;
}

}  // namespace kinvo::enc::plugin
