#include "axserver/video/video_module.h"

#include "axserver/video/renderers/create_renderer.h"
#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;

using M = VideoModule;

}  // namespace

VideoModule::VideoModule(ServerLink& link, video::RendererFactory renderers)
    : link_(link), renderers_(std::move(renderers)) {}

VideoModule::~VideoModule() = default;

std::span<const CommandHandler> VideoModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&M::getOutput>(CMD_GET_VIDEO_OUTPUT),
        on<&M::setParent>(CMD_SET_VIDEO_PARENT),
        on<&M::setAutoSize>(CMD_SET_AUTO_SIZE),
        on<&M::getSize>(CMD_GET_VIDEO_SIZE),
        on<&M::enterFullScreen>(CMD_ENTER_FULL_SCREEN),
        on<&M::leaveFullScreen>(CMD_LEAVE_FULL_SCREEN),
        on<&M::setAllowOverlay>(CMD_SET_ALLOW_OVERLAY),
        on<&M::setSubtitles>(CMD_SET_SUBTITLES),
        on<&M::setShowLogo>(CMD_SET_SHOW_LOGO),
        on<&M::attach>(CMD_ATTACH_VIDEO),
    };
    return kRows;
}

void VideoModule::closeOutput() noexcept {
    if (output_) {
        output_->close();
    }
}

void VideoModule::handOut() noexcept {
    const win::HWND server = link_.serverWindow();
    win::MSG msg;
    bool takenBack = false;
    while (win::peekMessage(msg, server, SRV_EVENT, SRV_EVENT, win::PM_NOREMOVE) &&
           msg.wParam == static_cast<win::WPARAM>(kEventVideoClosed)) {
        win::peekMessage(msg, server, SRV_EVENT, SRV_EVENT, win::PM_REMOVE);
        takenBack = true;
    }
    if (!takenBack) {
        link_.sendEvent(kEventVideoNoWindow);
    }
    settings_.outputHandedOut = true;
}

win::LRESULT VideoModule::getOutput(CommandCall&) {
    handOut();
    return reinterpret_cast<win::LRESULT>(static_cast<SonariVideoOutput*>(output_.get()));
}

win::LRESULT VideoModule::setParent(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    const auto window = static_cast<win::HWND>((*args)[0].number);
    if (!output_) {
        // The first video window: a child of the given window, or top-level for none.
        output_ = std::make_unique<video::VideoOutput>(settings_, *this, renderers_);
        output_->create(window);
        return kOk;
    }
    if (window == settings_.videoParent || (window == 0 && settings_.videoParent != 0)) {
        return kOk;
    }
    output_->reparent(window);
    return kOk;
}

win::LRESULT VideoModule::setAutoSize(CommandCall& call) {
    return withNumber(call, [this](int32_t flag) { settings_.autoSize = flag != 0; });
}

win::LRESULT VideoModule::getSize(CommandCall& call) {
    return call.writeResults(
               {Value::l(settings_.lastOpenWidth), Value::l(settings_.lastOpenHeight)})
               ? kOk
               : kFailed;
}

win::LRESULT VideoModule::enterFullScreen(CommandCall&) {
    if (output_) {
        output_->enterFullScreen();
    }
    return kOk;
}

win::LRESULT VideoModule::leaveFullScreen(CommandCall&) {
    if (output_) {
        output_->leaveFullScreen();
    }
    return kOk;
}

win::LRESULT VideoModule::setAllowOverlay(CommandCall& call) {
    return withNumber(call, [this](int32_t flag) { settings_.allowOverlay = flag != 0; });
}

win::LRESULT VideoModule::setSubtitles(CommandCall& call) {
    // The argument travels as 16 bits and is taken sign-extended.
    return withNumber(call, [this](int32_t value) { settings_.subtitlesEnabled = value; });
}

win::LRESULT VideoModule::setShowLogo(CommandCall& call) {
    return withNumber(call, [this](int32_t flag) {
        settings_.showLogo = flag != 0;
        if (output_) {
            output_->repaint();
        }
    });
}

win::LRESULT VideoModule::attach(CommandCall& call) {
    if (!output_) {
        return kOk;
    }
    const auto window = static_cast<win::HWND>(call.wParam());
    if (window == 0) {
        handOut();
    } else {
        output_->reparent(window);
    }
    return kOk;
}

std::unique_ptr<ServerModule> makeVideoModule(ServerLink& link, const ServerModules&) {
    return std::make_unique<VideoModule>(link, [](int attempt, bool allowOverlay) {
        return video::createRenderer(attempt, allowOverlay);
    });
}

void VideoModule::postEvent(int32_t code) noexcept {
    win::postMessage(link_.serverWindow(), SRV_EVENT, static_cast<win::WPARAM>(code), 0);
}

void VideoModule::postStatus(int32_t code, win::LPARAM value) noexcept {
    link_.postStatus(code, value);
}

void VideoModule::sendEvent(int32_t code) noexcept {
    link_.sendEvent(code);
}

}  // namespace vexa
