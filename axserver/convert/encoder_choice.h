#pragma once
// Choosing the encoder of a conversion, and offering options to the encoder libraries.
//
// "WAV " is the host's own WavWriter. Any other type goes to the encoder libraries "enc_*.so" of
// the program's Plugins folder, tried in name order (without regard to case): each is loaded,
// told the server window through ExtAudio3 when it exports it, and asked for an encoder through
// CreateAudio3; the first object it answers is the encoder and its library stays loaded with it.
// A library without CreateAudio3, or that answers null, is released and the next one tried.
//
// Threads: main thread (libraries are loaded and created there). Error policy: nothing throws;
// no encoder gives nullopt, a refused option false.
#include <sonari/encoder.h>

#include <cstdint>
#include <optional>
#include <string>

#include "axserver/convert/encoder_object.h"
#include "axserver/convert/wav_writer.h"
#include "axserver/pluginlib/plugin_library.h"

namespace vexa {

// An encoder and what it came with. Members go in reverse order: the object before its library.
struct ChosenEncoder {
    std::optional<PluginLibrary> library;  // none for the WavWriter
    EncoderObject object;
    SonariPrepareToFinish prepareToFinish = nullptr;
    SonariFinishAudio3 finish = nullptr;

    // The WavWriter when the object is one, else null.
    WavWriter* wavWriter() const noexcept { return WavWriter::of(object.get()); }
};

struct EncoderRequest {
    kinvo::ffmpeg::PcmFormat decoded;
    uint32_t outputType = 0;
    WavParameters wav;         // "WAV " only
    std::string pluginFolder;  // where "enc_*.so" are looked for
    std::string configFile;    // passed to CreateAudio3
    SonariWindow serverWindow = 0;
};

std::optional<ChosenEncoder> chooseEncoder(const EncoderRequest& request) noexcept;

// Offers item = value for outputType to each library in turn until one takes it (SetConfigItem
// answers nonzero); every library is released again. True when one took it.
bool setEncoderItem(const std::string& pluginFolder, uint32_t outputType, const std::string& item,
                    const std::string& value, const std::string& configFile) noexcept;

}  // namespace vexa
