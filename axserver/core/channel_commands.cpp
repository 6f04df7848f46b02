#include "axserver/core/channel_commands.h"

#include "axserver/core/client_swap.h"
#include "axserver/core/instances.h"
#include "axserver/core/proxy_settings.h"
#include "axserver/core/server.h"
#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr size_t kReservedTextLimit = 255;
constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;

using C = ChannelCommands;

}  // namespace

std::span<const CommandHandler> ChannelCommands::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&C::instanceStop>(CMD_INSTANCE_STOP),
        on<&C::notImplemented>(CMD_NOT_IMPLEMENTED),
        on<&C::getReservedText>(CMD_GET_RESERVED_TEXT),
        on<&C::setReservedText>(CMD_SET_RESERVED_TEXT),
        on<&C::unsupportedText>(CMD_UNSUPPORTED_TEXT),
        on<&C::setCrossInstance>(CMD_SET_CROSS_INSTANCE),
        on<&C::setInstanceTitle>(CMD_SET_INSTANCE_TITLE),
        on<&C::getInstance>(CMD_GET_INSTANCE),
        on<&C::getProxy>(CMD_GET_PROXY),
        on<&C::setProxy>(CMD_SET_PROXY),
        on<&C::swapClient>(CMD_SWAP_CLIENT),
    };
    return kRows;
}

win::LRESULT ChannelCommands::instanceStop(CommandCall&) {
    if (server_.crossInstanceControl()) {
        if (auto* playback = server_.modules().find<Playback>()) {
            playback->stopFromOtherInstance();
        }
    }
    return kOk;
}

win::LRESULT ChannelCommands::notImplemented(CommandCall& call) {
    if (!call.readArgs()) {
        return kFailed;
    }
    return static_cast<win::LRESULT>(kStatusNotImplemented);
}

win::LRESULT ChannelCommands::getReservedText(CommandCall& call) {
    return call.writeResults({Value::s("")}) ? kOk : kFailed;
}

win::LRESULT ChannelCommands::setReservedText(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    reservedText_ = (*args)[0].text.substr(0, kReservedTextLimit);
    return kOk;
}

win::LRESULT ChannelCommands::unsupportedText(CommandCall& call) {
    (void)call.readArgs();
    return kFailed;
}

win::LRESULT ChannelCommands::setCrossInstance(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    server_.setCrossInstanceControl((*args)[0].number != 0);
    return kOk;
}

win::LRESULT ChannelCommands::setInstanceTitle(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    return win::setWindowText(server_.serverWindow(), (*args)[0].text) ? kOk : kFailed;
}

win::LRESULT ChannelCommands::getInstance(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    InstanceInfo info = findInstance(server_.serverWindow(), (*args)[0].number);
    Values results{Value::s(info.name), Value::l(static_cast<int32_t>(info.window))};
    return call.writeResults(results) ? kOk : kFailed;
}

win::LRESULT ChannelCommands::getProxy(CommandCall& call) {
    auto settings = readProxySettings();
    if (!settings) {
        return kFailed;
    }
    return call.writeResults({Value::l(settings->enabled), Value::s(settings->server)}) ? kOk
                                                                                        : kFailed;
}

win::LRESULT ChannelCommands::setProxy(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    writeProxySettings({(*args)[0].number, (*args)[1].text});
    return kOk;
}

win::LRESULT ChannelCommands::swapClient(CommandCall& call) {
    auto* video = server_.modules().find<Video>();
    SwapParties parties{server_.serverWindow(), server_.clientWindow(),
                        video != nullptr ? video->videoParent() : 0};
    win::HWND newClient = 0;
    win::LRESULT answer =
        vexa::swapClient(static_cast<int32_t>(call.wParam()), parties, &newClient);
    if (answer == 1) {
        server_.setClientWindow(newClient);
    }
    return answer;
}

}  // namespace vexa
