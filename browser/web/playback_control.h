#pragma once
// The playback control that the playback control page creates, as the browser's C++ side sees
// it. The page's object element forwards each of its calls here, in the order the page made
// them; the control answers through PlaybackEvents, which reach the page's event sink.
// Every call comes on the user-interface thread.

#include <cstdint>
#include <string>

namespace kinvo::web {

// The page's event sink, registered by setCallback.
class PlaybackEvents {
  public:
    virtual ~PlaybackEvents() = default;
    virtual void SonariMsgEvent(int code) = 0;
    virtual void SonariStatus(int code, int value) = 0;
    virtual void SonariMetaData(const std::string& data, int size) = 0;
};

class PlaybackControl {
  public:
    virtual ~PlaybackControl() = default;

    // The page registered its sink; events go to sink until Deinitialize.
    virtual void setCallback(PlaybackEvents& sink) = 0;
    virtual void SetCrossInstanceControl(int on) = 0;
    virtual void SetVideoAutoSize(int on) = 0;
    virtual void SetVideoLogo(int on) = 0;
    virtual void SetRetryParams(int count, int delayMs) = 0;
    virtual void SetFallbackParams(int count, int delayMs) = 0;
    virtual void SetUseCustomDRMURL(int on) = 0;
    virtual void AppendFileToPlaylist(const std::string& address) = 0;
    // The property "Repeat" was set.
    virtual void setRepeat(int repeat) = 0;
    virtual void Play() = 0;
    // window is the X11 id the page read from the control's "hwnd".
    virtual void SetVideoHWND(std::uint64_t window) = 0;
    // The page is going; the control lets its server go and sends no more events.
    virtual void Deinitialize() = 0;
};

}  // namespace kinvo::web
