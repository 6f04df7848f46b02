#include "axserver/core/server.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "axserver/core/block_command_call.h"
#include "axserver/core/instances.h"
#include "channel/protocol.h"
#include "platform/debug_trace.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr win::UINT kSentMetadataNumber = 0;

win::LRESULT serverWindowProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                              win::LPARAM lParam) {
    auto* server = reinterpret_cast<Server*>(win::getWindowUserData(hwnd));
    if (server == nullptr) {
        return win::defWindowProc(hwnd, message, wParam, lParam);
    }
    return server->handleMessage(hwnd, message, wParam, lParam);
}

}  // namespace

Server::Server(ProgramPaths paths, win::HWND clientWindow)
    : paths_(std::move(paths)), clientWindow_(clientWindow), channelCommands_(*this) {
    buffering_.reset();
}

Server::~Server() {
    shutdown();
}

void Server::start(const ModuleFactory& makeModules) {
    started_ = true;
    // The module tables start empty and playback stopped: the modules are made fresh here.
    buffering_.reset();

    win::registerClass({kServerClassName, win::CS_DBLCLKS, &serverWindowProc, 0});
    serverWindow_ = win::createWindow(kServerClassName, "");
    if (serverWindow_ != 0) {
        win::setWindowUserData(serverWindow_, reinterpret_cast<win::LPARAM>(this));
    }
    controlBlock_ = ControlBlock::create(serverWindow_);
    win::postMessage(clientWindow(), SRV_READY, serverWindow_, 0);
    win::setTimer(serverWindow_, kLivenessTimerId, kLivenessPeriodMs);

    if (makeModules) {
        modules_ = makeModules(*this);
    }
    router_ = CommandRouter();
    router_.add(channelCommands_);
    for (const auto& module : modules_.all()) {
        router_.add(*module);
    }
    InputHost* inputs = modules_.find<InputHost>();
    if (inputs != nullptr) {
        inputs->loadPlugins();
    }
    if (auto* outputs = modules_.find<OutputHost>()) {
        outputs->loadPlugins();
    }
    if (inputs != nullptr) {
        inputs->setExtendedFileInfo("blah.qrx", "setHttpConfigValues", "16000,2750,3250");
    }

    changeWatch_ = ChangeWatch::start([this](const ChangeWatch::Change& c) { onChange(c); });
}

int Server::run() {
    // Without its window nothing can reach the server and no liveness tick could ever end it:
    // there is nothing to serve.
    if (serverWindow_ == 0) {
        return 0;
    }
    win::MSG msg;
    while (win::getMessage(msg, 0, 0, 0) > 0) {
        win::dispatchMessage(msg);
    }
    return static_cast<int>(msg.wParam);
}

void Server::shutdown() noexcept {
    if (!started_ || shutDown_) {
        return;
    }
    shutDown_ = true;
    if (auto* playback = modules_.find<Playback>()) {
        playback->stopForShutdown();
    }
    if (auto* conversions = modules_.find<Conversions>()) {
        conversions->endAll();
    }
    if (auto* inputs = modules_.find<InputHost>()) {
        inputs->unloadPlugins();
    }
    if (auto* outputs = modules_.find<OutputHost>()) {
        outputs->unloadPlugins();
    }
    ::unlink(paths_.downloadTempFile.c_str());
    if (serverWindow_ != 0) {
        win::destroyWindow(serverWindow_);
    }
    changeWatch_.reset();
    {
        std::lock_guard guard(controlBlock_.lock());
        controlBlock_ = ControlBlock();
    }
    // The other modules go with the server; none of them holds plug-ins any more.
    router_ = CommandRouter();
    modules_.clear();
}

win::LRESULT Server::handleMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                   win::LPARAM lParam) noexcept {
    switch (message) {
        case SRV_SHELL_CHANGE:
            // Changes arrive from the watch set on this thread (onChange). The message's own
            // wParam would be a pointer into another process and is never followed.
            return 0;
        case SRV_BURN_STATUS:
            if (wParam < std::size(kBurnStatusCodes)) {
                bool carriesValue = wParam == 1 || wParam == 2 || wParam == 5;
                postStatus(kBurnStatusCodes[wParam], carriesValue ? lParam : 0);
            }
            return win::defWindowProc(hwnd, message, wParam, lParam);
        case SRV_BURN_WINDOW:
            if (auto* burn = modules_.find<BurnRequests>(); burn && wParam != 0 && lParam != 0) {
                burn->setBurnWindow(wParam, static_cast<win::HWND>(lParam));
            }
            return win::defWindowProc(hwnd, message, wParam, lParam);
        case SRV_EVENT:
        case SRV_STATUS:
        case SRV_METADATA:
            win::postMessage(clientWindow(), message, wParam, lParam);
            return 0;
        case win::WM_TIMER:
            if (wParam == kLivenessTimerId && !win::isWindow(clientWindow())) {
                win::postQuitMessage(0);
            }
            return win::defWindowProc(hwnd, message, wParam, lParam);
        case SRV_TRACK_END: {
            auto* playback = modules_.find<Playback>();
            win::LRESULT answer = playback != nullptr ? playback->handleTrackEnd() : 0;
            sendEvent(kEventTrackEndHandled, 0);
            return answer;
        }
        case SRV_COMMAND:
            if (win::debugTraceEnabled()) {
                win::debugTrace("vexahost: command " + std::to_string(lParam) + "\n");
            }
            return dispatchCommand(hwnd, wParam, lParam);
        default:
            return win::defWindowProc(hwnd, message, wParam, lParam);
    }
}

win::LRESULT Server::dispatchCommand(win::HWND hwnd, win::WPARAM wParam, win::LPARAM lParam) {
    const CommandInfo* info = lParam >= INT32_MIN && lParam <= INT32_MAX
                                  ? findCommand(static_cast<int32_t>(lParam))
                                  : nullptr;
    if (info == nullptr) {
        return win::defWindowProc(hwnd, SRV_COMMAND, wParam, lParam);
    }
    BlockCommandCall call(*info, wParam, controlBlock_);
    win::LRESULT answer = router_.dispatch(call);
    if (info->number == CMD_INSTANCE_STOP || info->number == CMD_ATTACH_VIDEO) {
        return win::defWindowProc(hwnd, SRV_COMMAND, wParam, lParam);
    }
    return answer;
}

void Server::postStatus(int32_t code, win::LPARAM value) noexcept {
    if (code == kStatusBufferingStarted) {
        buffering_.buffering = true;
    } else if (code == kStatusBufferValue) {
        buffering_.bufferValue = static_cast<int32_t>(value);
    } else if (code == kStatusBufferingFinished) {
        buffering_.buffering = false;
        buffering_.bufferValue = 255;
    }
    win::postMessage(clientWindow(), SRV_STATUS, static_cast<win::WPARAM>(code), value);
}

void Server::postEvent(int32_t code, win::LPARAM lParam) noexcept {
    win::postMessage(clientWindow(), SRV_EVENT, static_cast<win::WPARAM>(code), lParam);
}

void Server::sendEvent(int32_t code, win::LPARAM lParam) noexcept {
    win::sendMessage(clientWindow(), SRV_EVENT, static_cast<win::WPARAM>(code), lParam);
}

void Server::sendMetadata(std::string_view text, int32_t number) noexcept {
    try {
        std::lock_guard guard(controlBlock_.lock());
        if (!controlBlock_.hasView()) {
            return;
        }
        // The pair takes the text, its zero and four bytes; a longer text is cut to fit.
        size_t room = kPayloadSize - 4 - 1;
        std::string_view fitted = text.substr(0, std::min(text.size(), room));
        fitted = fitted.substr(0, fitted.find('\0'));
        controlBlock_.write({Value::s(std::string(fitted)), Value::l(number)});
    } catch (...) {
        return;  // out of memory for the pair: the client hears nothing of it
    }
    win::sendMessage(clientWindow(), SRV_METADATA, kSentMetadataNumber, 0);
}

void Server::broadcastInstanceStop() {
    forEachOtherInstance(serverWindow_, [](win::HWND other) {
        win::LRESULT ignored = 0;
        win::sendMessageTimeout(other, SRV_COMMAND, 0, CMD_INSTANCE_STOP, win::SMTO_NORMAL,
                                kOtherWindowSendTimeoutMs, &ignored);
        return true;
    });
}

void Server::watchFolder(const std::string& folder) {
    if (changeWatch_) {
        changeWatch_->addFolder(folder);
    }
}

void Server::raiseFilesChanged() {
    postEvent(kEventFilesChanged, 0);
    postEvent(kEventFilesChangedTail, -1);
}

void Server::onChange(const ChangeWatch::Change& change) {
    switch (change.kind) {
        case ChangeWatch::Change::Kind::kFolderContents:
            raiseFilesChanged();
            break;
        case ChangeWatch::Change::Kind::kItemChanged:
        case ChangeWatch::Change::Kind::kItemRenamed:
            if (auto* playlist = modules_.find<Playlist>();
                playlist != nullptr && playlist->hasEntryWithFile(change.path)) {
                raiseFilesChanged();
            }
            break;
    }
}

int runServerMode(const std::string& executablePath, win::HWND clientWindow,
                  const ModuleFactory& makeModules) {
    Server server(programPaths(executablePath, userRuntimeDir(), folderWritable), clientWindow);
    server.start(makeModules);
    int code = server.run();
    server.shutdown();
    return code;
}

int runBurnMode(const std::string& executablePath, const std::string& arguments,
                const ModuleFactory& makeModules) {
    // No window, block or output plug-ins in this mode: only the paths and the input plug-ins.
    Server link(programPaths(executablePath, userRuntimeDir(), folderWritable), 0);
    ServerModules modules = makeModules ? makeModules(link) : ServerModules();
    auto* inputs = modules.find<InputHost>();
    if (inputs != nullptr) {
        inputs->loadPlugins();
    }
    if (auto* burnMode = modules.find<BurnMode>()) {
        burnMode->run(arguments);
    }
    if (inputs != nullptr) {
        inputs->unloadPlugins();
    }
    return 0;
}

}  // namespace vexa
