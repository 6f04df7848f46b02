#pragma once
// The binary contract between the browser and the components it embeds in player pages: the
// playback control (the page's object of class 7A3C0E51-9D24-4B8F-B6E2-51C9D0A4F3B8) and the
// player components that serve the movie, media and streaming player objects.
//
// A component is a shared library "Components/<name>.so" in the program folder, with its class
// table "Components/<name>.classes" beside it: one class identifier (without braces) or
// programmatic identifier per line, "#" lines and blank lines ignored. The browser finds a
// library by an identifier through these tables (compared without regard to case) and loads
// it with dlopen; the library exports the C entries at the end of this file and stays loaded
// until the browser exits.
//
// Layout. Each interface below is a C++ class with only pure virtual functions, in exactly the
// order written (Itanium C++ ABI, x86-64: one table slot per function, no virtual destructor,
// so slot 0 is the first function listed). Integers are fixed-width; text is UTF-8, NUL-ended,
// valid only during the call. No exception ever leaves a function of either side.
//
// Threads. The host calls every function of an object on one thread, its user-interface
// thread, and each call returns at once: work that waits (starting the playback server, its
// commands) runs on the component's own thread. Events come on the component's thread; the
// host passes them on to its own thread. After Release returns no event of that object is in
// flight or will come, and the object is gone.
#include <cstdint>

namespace kinvo::component {

// The version a host asks for; a library built for another one creates nothing.
inline constexpr std::uint32_t kAbiVersion = 1;

// The page's event sink of a playback control.
class PlaybackEvents {
  public:
    virtual void SonariMsgEvent(std::int32_t code) noexcept = 0;
    virtual void SonariStatus(std::int32_t code, std::int32_t value) noexcept = 0;
    virtual void SonariMetaData(const char* data, std::int32_t size) noexcept = 0;

  protected:
    ~PlaybackEvents() = default;
};

// Event code SonariMsgEvent carries when the control's window handle is ready: the page then
// reads "hwnd", calls SetVideoHWND with it and Play again.
inline constexpr std::int32_t kEventWindowReady = 8;

// The playback control, called in the order the page calls it.
class PlaybackControl {
  public:
    // Ends the object (Deinitialize first when the page did not).
    virtual void Release() noexcept = 0;
    // Events go to sink until Deinitialize or Release; null stops them.
    virtual void setCallback(PlaybackEvents* sink) noexcept = 0;
    virtual void SetCrossInstanceControl(std::int32_t on) noexcept = 0;
    virtual void SetVideoAutoSize(std::int32_t on) noexcept = 0;
    virtual void SetVideoLogo(std::int32_t on) noexcept = 0;
    virtual void SetRetryParams(std::int32_t count, std::int32_t delayMs) noexcept = 0;
    virtual void SetFallbackParams(std::int32_t count, std::int32_t delayMs) noexcept = 0;
    virtual void SetUseCustomDRMURL(std::int32_t on) noexcept = 0;
    virtual void AppendFileToPlaylist(const char* address) noexcept = 0;
    // The property "Repeat" was set.
    virtual void setRepeat(std::int32_t repeat) noexcept = 0;
    virtual void Play() noexcept = 0;
    // window: the X11 id the page read from the control's "hwnd".
    virtual void SetVideoHWND(std::uint64_t window) noexcept = 0;
    // The page is going: the control lets its server go and sends no more events.
    virtual void Deinitialize() noexcept = 0;

  protected:
    ~PlaybackControl() = default;
};

// What a player component tells the page about its playback.
enum class PlayerState : std::int32_t {
    kStopped = 0,
    kOpening = 1,  // connecting and buffering; detail: percent buffered, or -1
    kPlaying = 2,
    kPaused = 3,
    kFailed = 4,  // detail: the playback server's event code
};

class PlayerEvents {
  public:
    virtual void PlayerStateChanged(PlayerState state, std::int32_t detail) noexcept = 0;
    // While playing, about twice a second; lengthMs -1 for a stream without an end.
    virtual void PlayerPosition(std::int32_t positionMs, std::int32_t lengthMs) noexcept = 0;

  protected:
    ~PlayerEvents() = default;
};

// A player object element: the host passes its parameters as the page wrote them, the window
// over the element, then Start.
class MediaPlayer {
  public:
    virtual void Release() noexcept = 0;
    virtual void SetEvents(PlayerEvents* events) noexcept = 0;
    // One "param" of the element (names compared without regard to case); before Start.
    virtual void SetParam(const char* name, const char* value) noexcept = 0;
    // Whether the element's parameters ask for a control bar (play/pause, stop, position,
    // volume), which the host draws below the picture. After the parameters.
    virtual std::int32_t ShowsControls() noexcept = 0;
    // The X11 window the picture goes into, letterboxed and resized with it.
    virtual void SetWindow(std::uint64_t window) noexcept = 0;
    // Starts the playback server; plays at once when the parameters ask for it.
    virtual void Start() noexcept = 0;
    virtual void Play() noexcept = 0;
    virtual void Pause() noexcept = 0;
    virtual void Stop() noexcept = 0;
    virtual void Seek(std::int32_t positionMs) noexcept = 0;
    // 0 to 255.
    virtual void SetVolume(std::int32_t volume) noexcept = 0;

  protected:
    ~MediaPlayer() = default;
};

}  // namespace kinvo::component

extern "C" {
// A new playback control; null when the library has none or was built for another version.
// Exported by the playback control's library.
kinvo::component::PlaybackControl* KinvoCreatePlaybackControl(std::uint32_t abiVersion);
// A new player for an element of the given class identifier (without braces or "clsid:",
// compared without regard to case); null when the class is not this library's.
kinvo::component::MediaPlayer* KinvoCreateMediaPlayer(const char* classId,
                                                      std::uint32_t abiVersion);
// A probe object's answer: the member ("IsQuickTimeAvailable", "versioninfo",
// "GetVersionInfo") of the object named by programmatic identifier, as text written into
// text (NUL-ended, cut to size). 1: answered; 0: the object exists but the member failed;
// -1: this library has no such object.
std::int32_t KinvoProbe(const char* progId, const char* member, char* text, std::int32_t size);
}
