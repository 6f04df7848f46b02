#include "axserver/convert/encoder_choice.h"

#include "axserver/pluginlib/plugin_folder.h"

namespace vexa {

namespace {

constexpr char kEncoderPrefix[] = "enc_";

std::optional<ChosenEncoder> fromLibrary(const EncoderRequest& request, const std::string& file) {
    auto library = PluginLibrary::load(request.pluginFolder + "/" + file);
    if (!library) {
        return std::nullopt;
    }
    if (auto ext = reinterpret_cast<SonariExtAudio3>(library->symbol(SONARI_ENCODER_EXT))) {
        ext(request.serverWindow, 0, 0);
    }
    auto create = reinterpret_cast<SonariCreateAudio3>(library->symbol(SONARI_ENCODER_CREATE));
    if (create == nullptr) {
        return std::nullopt;
    }
    uint32_t type = request.outputType;
    SonariEncoder* made =
        create(request.decoded.channels, request.decoded.sampleRate, request.decoded.bitsPerSample,
               SONARI_TYPE_PCM, &type, request.configFile.c_str());
    if (made == nullptr) {
        return std::nullopt;
    }
    ChosenEncoder chosen;
    chosen.prepareToFinish =
        reinterpret_cast<SonariPrepareToFinish>(library->symbol(SONARI_ENCODER_PREPARE_TO_FINISH));
    chosen.finish = reinterpret_cast<SonariFinishAudio3>(library->symbol(SONARI_ENCODER_FINISH));
    chosen.object.reset(made);
    chosen.library = std::move(library);
    return chosen;
}

}  // namespace

std::optional<ChosenEncoder> chooseEncoder(const EncoderRequest& request) noexcept {
    try {
        if (request.outputType == SONARI_TYPE_WAV) {
            EncoderObject writer = WavWriter::make(request.decoded, request.wav);
            if (!writer) {
                return std::nullopt;
            }
            ChosenEncoder chosen;
            chosen.object = std::move(writer);
            return chosen;
        }
        for (const std::string& file : findPluginFiles(request.pluginFolder, kEncoderPrefix)) {
            if (auto chosen = fromLibrary(request, file)) {
                return chosen;
            }
        }
    } catch (...) {
    }
    return std::nullopt;
}

bool setEncoderItem(const std::string& pluginFolder, uint32_t outputType, const std::string& item,
                    const std::string& value, const std::string& configFile) noexcept {
    try {
        for (const std::string& file : findPluginFiles(pluginFolder, kEncoderPrefix)) {
            auto library = PluginLibrary::load(pluginFolder + "/" + file);
            if (!library) {
                continue;
            }
            auto set = reinterpret_cast<SonariSetConfigItem>(
                library->symbol(SONARI_ENCODER_SET_CONFIG_ITEM));
            if (set != nullptr &&
                set(outputType, item.c_str(), value.c_str(), configFile.c_str()) != 0) {
                return true;
            }
        }
    } catch (...) {
    }
    return false;
}

}  // namespace vexa
