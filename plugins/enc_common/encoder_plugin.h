#pragma once
// What each encoder plug-in defines, once, for the exports that every encoder library shares
// (encoder_exports.cpp, compiled into each enc_*.so by kinvo_encoder_plugin()).

#include <cstdint>
#include <span>

#include "plugins/enc_common/encoder_settings.h"
#include "plugins/enc_common/options.h"

namespace kinvo::enc::plugin {

// The one output type the library answers CreateAudio3 and SetConfigItem for.
extern const uint32_t kOutputType;
// The options it takes through SetConfigItem, each with its test and default.
std::span<const OptionRule> optionRules() noexcept;
// The encoder's settings read from the options file (null: every default). Host's thread; may
// throw only on allocation failure.
EncoderSettings settingsFrom(const char* configFile);

}  // namespace kinvo::enc::plugin
