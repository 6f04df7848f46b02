#include "control/client/vexa_client.h"

#include <thread>

#include "channel/command_table.h"
#include "channel/protocol.h"
#include "channel/swap_block.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr char kClientClassName[] = "VexaClient Window";

win::LRESULT clientWindowProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                              win::LPARAM lParam) {
    auto* client = reinterpret_cast<VexaClient*>(win::getWindowUserData(hwnd));
    if (client == nullptr) {
        return win::defWindowProc(hwnd, message, wParam, lParam);
    }
    return client->handleMessage(hwnd, message, wParam, lParam);
}

const std::string kNoText;

}  // namespace

const std::string& Reply::text(size_t i) const {
    return i < results.size() ? results[i].text : kNoText;
}

VexaClient::VexaClient() {
    // Registering again in the same process fails harmlessly: the class is the same.
    win::registerClass({kClientClassName, 0, &clientWindowProc, 0});
    window_ = win::createWindow(kClientClassName, "");
    if (window_ != 0) {
        win::setWindowUserData(window_, reinterpret_cast<win::LPARAM>(this));
    }
}

VexaClient::~VexaClient() {
    closeWindow();
}

void VexaClient::closeWindow() {
    if (window_ != 0) {
        win::setWindowUserData(window_, 0);
        win::destroyWindow(window_);
        window_ = 0;
    }
    serverWindow_ = 0;
    block_.reset();
}

bool VexaClient::start(const std::string& serverPath, std::chrono::milliseconds timeout,
                       const std::function<bool()>& cancelled) {
    if (window_ == 0) {
        lastError_ = "the client window could not be created";
        return false;
    }
    readyWindow_ = 0;
    process_ = win::createProcess(serverPath, std::to_string(window_));
    processEnded_ = false;
    if (!process_) {
        lastError_ = serverPath + ": cannot be started";
        return false;
    }
    bool ready =
        waitFor([&] { return readyWindow_ != 0 || !serverRunning() || (cancelled && cancelled()); },
                timeout);
    if (!ready || readyWindow_ == 0) {
        lastError_ = !serverRunning() ? "vexahost ended before it was ready"
                     : ready          ? "the start was cancelled"
                                      : "vexahost did not report ready in time";
        return false;
    }
    return attach(readyWindow_);
}

bool VexaClient::serverRunning() {
    if (!process_ || processEnded_) {
        return false;
    }
    processEnded_ = process_->wait(std::chrono::milliseconds(0)).has_value();
    return !processEnded_;
}

bool VexaClient::attach(win::HWND server) {
    if (!openBlock(server)) {
        lastError_ = "the control block " + ControlBlock::nameFor(server) + " cannot be opened";
        return false;
    }
    serverWindow_ = server;
    return true;
}

bool VexaClient::openBlock(win::HWND server) {
    block_ = ControlBlock::open(server);
    return block_.has_value();
}

void VexaClient::detach() {
    serverWindow_ = 0;
    block_.reset();
    // A started process stays ours to reap, whoever it serves now.
}

Reply VexaClient::call(int32_t number, const Values& args, win::WPARAM wParam) {
    const CommandInfo* info = findCommand(number);
    if (info == nullptr) {
        return callRaw(number, {}, "", false, wParam);
    }
    return callRaw(number, args, info->results, !info->args.empty(), wParam);
}

Reply VexaClient::callRaw(int32_t number, const Values& args, std::string_view resultTypes,
                          bool writeArgs, win::WPARAM wParam) {
    Reply reply;
    if (serverWindow_ == 0) {
        return reply;
    }
    if (writeArgs && !(block_ && block_->write(args))) {
        return reply;
    }
    win::LRESULT answer = 0;
    if (!win::sendMessageTimeout(serverWindow_, SRV_COMMAND, wParam, number, win::SMTO_NORMAL,
                                 win::kInfinite, &answer)) {
        return reply;
    }
    reply.delivered = true;
    reply.status = static_cast<uint32_t>(answer);
    if (reply.status == kStatusOk && !resultTypes.empty() && block_) {
        if (auto results = block_->peek(resultTypes)) {
            reply.results = std::move(*results);
        } else {
            // The server answered success without results that match: count it as failed.
            reply.status = kStatusFailed;
        }
    }
    return reply;
}

void VexaClient::pump(std::chrono::milliseconds timeout) {
    win::waitMessage(static_cast<win::UINT>(timeout.count()));
    win::MSG msg;
    while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
        if (msg.message == win::WM_QUIT) {
            // Not ours to swallow: hand it back for the thread's own loop.
            win::postQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        win::dispatchMessage(msg);
    }
}

bool VexaClient::waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return done();
        }
        pump(std::min(left, std::chrono::milliseconds(50)));
    }
    return true;
}

void VexaClient::deliver(const ClientEvent& event) {
    if (handler_) {
        handler_(event);
    }
}

win::LRESULT VexaClient::handleMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                       win::LPARAM lParam) noexcept {
    switch (message) {
        case SRV_READY:
            // Only the process we started may announce itself.
            if (readyWindow_ == 0 && process_ &&
                win::getWindowProcessId(static_cast<win::HWND>(wParam)) == process_->pid()) {
                readyWindow_ = static_cast<win::HWND>(wParam);
            }
            return 0;
        case SRV_EVENT:
            deliver({ClientEvent::Kind::kEvent, static_cast<int32_t>(wParam), lParam, {}});
            return 0;
        case SRV_STATUS:
            deliver({ClientEvent::Kind::kStatus, static_cast<int32_t>(wParam), lParam, {}});
            return 0;
        case SRV_METADATA: {
            ClientEvent event{ClientEvent::Kind::kMetadata, 0, 0, {}};
            if (block_) {
                if (auto values = block_->peek("sl")) {
                    event.text = (*values)[0].text;
                    event.value = (*values)[1].number;
                }
            }
            deliver(event);
            return 0;
        }
        case SRV_COMMAND:
            if (lParam == CMD_SWAP_CLIENT) {
                int32_t swapNumber = static_cast<int32_t>(wParam);
                bool consent = swapConsent_ ? swapConsent_(swapNumber) : true;
                if (consent) {
                    detach();
                }
                return consent ? 1 : 0;
            }
            return win::defWindowProc(hwnd, message, wParam, lParam);
        default:
            return win::defWindowProc(hwnd, message, wParam, lParam);
    }
}

std::optional<SwapBlock> VexaClient::requestSwap(
    win::HWND server, int32_t swapNumber, std::initializer_list<std::pair<int, int32_t>> slots) {
    auto block = SwapBlock::create(swapNumber);
    if (!block) {
        lastError_ = "the swap block cannot be made";
        return std::nullopt;
    }
    for (auto [slot, value] : slots) {
        block->set(slot, value);
    }
    win::LRESULT answer = 0;
    if (!win::sendMessageTimeout(server, SRV_COMMAND, static_cast<win::WPARAM>(swapNumber),
                                 CMD_SWAP_CLIENT, win::SMTO_NORMAL, win::kInfinite, &answer) ||
        answer != 1) {
        lastError_ = "the server did not swap";
        return std::nullopt;
    }
    return block;
}

bool VexaClient::takeOver(win::HWND server, int32_t swapNumber) {
    auto block = requestSwap(server, swapNumber, {{kSwapState, 0}, {kSwapSlot3, int32_t(window_)}});
    // slot1 now holds the server window that serves us.
    return block && attach(static_cast<win::HWND>(block->get(kSwapSlot1)));
}

bool VexaClient::handOver(win::HWND newClient, int32_t swapNumber) {
    win::HWND server = serverWindow_;
    if (server == 0) {
        lastError_ = "no server to hand over";
        return false;
    }
    if (!requestSwap(
            server, swapNumber,
            {{kSwapState, 2}, {kSwapSlot1, int32_t(server)}, {kSwapSlot2, int32_t(newClient)}})) {
        return false;
    }
    detach();
    return true;
}

}  // namespace vexa
