#include "axserver/convert/convert_module.h"

#include "axserver/inputs/input_host_module.h"

namespace vexa {

namespace {

using M = ConvertModule;

constexpr size_t kWavArgumentCount = 7;

}  // namespace

ConvertModule::ConvertModule(ServerLink& link, InputPluginHost& inputs)
    : service_(inputs, link, link.moduleDir(), link.serverWindow(), false) {}

std::span<const CommandHandler> ConvertModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&M::start>(CMD_CONVERT_START),
        on<&M::end>(CMD_CONVERT_END),
        on<&M::setEncoderItem>(CMD_SET_ENCODER_ITEM),
    };
    return kRows;
}

win::LRESULT ConvertModule::start(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kStatusFailed;
    }
    const Values& a = *args;
    ConversionRequest request;
    request.source = a[0].text;
    request.destination = a[1].text;
    request.outputType = static_cast<uint32_t>(a[2].number);
    request.notifyWindow = static_cast<win::HWND>(a[3].number);
    if (a.size() == kWavArgumentCount) {
        request.wav = {a[4].number, a[5].number, a[6].number};
    }
    auto started = service_.start(std::move(request));
    if (auto* handle = std::get_if<int32_t>(&started)) {
        return call.writeResults({Value::l(*handle)}) ? kStatusOk : kStatusFailed;
    }
    call.writeResults({Value::s(std::get<std::string>(started))});
    return kStatusFailed;
}

win::LRESULT ConvertModule::end(CommandCall& call) {
    auto args = call.readArgs();
    service_.end(args ? (*args)[0].number : 0);
    return kStatusOk;
}

win::LRESULT ConvertModule::setEncoderItem(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kStatusFailed;
    }
    service_.setEncoderItem(static_cast<uint32_t>((*args)[0].number), (*args)[1].text,
                            (*args)[2].text);
    return kStatusOk;
}

std::unique_ptr<ServerModule> makeConvertModule(ServerLink& link, const ServerModules& made) {
    auto* inputs = made.find<InputHostModule>();
    if (inputs == nullptr) {
        return nullptr;
    }
    return std::make_unique<ConvertModule>(link, inputs->plugins());
}

}  // namespace vexa
