#include "axserver/core/channel_commands.h"

#include "axserver/channel/protocol.h"
#include "axserver/core/client_swap.h"
#include "axserver/core/instances.h"
#include "axserver/core/proxy_settings.h"
#include "axserver/core/server.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr size_t kReservedTextLimit = 255;
constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;

}  // namespace

win::LRESULT ChannelCommands::handleCommand(CommandCall& call) noexcept {
    switch (call.number()) {
        case CMD_INSTANCE_STOP:
            if (server_.crossInstanceControl()) {
                server_.modules().playback->stopFromOtherInstance();
            }
            return kOk;
        case CMD_NOT_IMPLEMENTED:
            if (!call.readArgs()) {
                return kFailed;
            }
            return static_cast<win::LRESULT>(kStatusNotImplemented);
        case CMD_GET_RESERVED_TEXT:
            return call.writeResults({Value::s("")}) ? kOk : kFailed;
        case CMD_SET_RESERVED_TEXT: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            reservedText_ = (*args)[0].text.substr(0, kReservedTextLimit);
            return kOk;
        }
        case CMD_UNSUPPORTED_TEXT:
            (void)call.readArgs();
            return kFailed;
        case CMD_SET_CROSS_INSTANCE: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            server_.setCrossInstanceControl((*args)[0].number != 0);
            return kOk;
        }
        case CMD_SET_INSTANCE_TITLE: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            return win::setWindowText(server_.serverWindow(), (*args)[0].text) ? kOk : kFailed;
        }
        case CMD_GET_INSTANCE:
            return getInstance(call);
        case CMD_GET_PROXY: {
            auto settings = readProxySettings();
            if (!settings) {
                return kFailed;
            }
            return call.writeResults({Value::l(settings->enabled), Value::s(settings->server)})
                       ? kOk
                       : kFailed;
        }
        case CMD_SET_PROXY: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            writeProxySettings({(*args)[0].number, (*args)[1].text});
            return kOk;
        }
        case CMD_SWAP_CLIENT:
            return swapClient(call.wParam());
        default:
            return static_cast<win::LRESULT>(kStatusNotImplemented);
    }
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

win::LRESULT ChannelCommands::swapClient(win::WPARAM swapNumber) {
    SwapParties parties{server_.serverWindow(), server_.clientWindow(),
                        server_.modules().video->videoParent()};
    win::HWND newClient = 0;
    win::LRESULT answer = vexa::swapClient(static_cast<int32_t>(swapNumber), parties, &newClient);
    if (answer == 1) {
        server_.setClientWindow(newClient);
    }
    return answer;
}

}  // namespace vexa
