#pragma once
// The burn process's window "SonariBurnWnd": converts every track into a CD-format WAV file in
// the temporary folder, hands them to the burning back end, follows the write and reports to the
// server window (number 5 of the command line):
//   0x900 (0, 0) and 0x901 (request, window) at creation; (1, index) as a track's conversion
//   begins; (5, percent) while it converts; (2, 0) when the burner is started; (2, percent)
//   while it writes; (3, 0) when every sector was written; (4, 0) on failure or a short write.
// Progress messages of one kind go at most once a second; nothing is posted once the server
// window is gone. Abort (query 666) reports nothing. The track files are deleted when the window
// goes, whatever the outcome.
//
// Queries (0x420, lParam 1 status word, 2 percent within the track being burned, 666 abort) are
// answered in the window's value 0; the message answers 1 (0 for abort and unknown queries).
// Close requests are ignored.
//
// State kept beside the codes: the status-line text (statusText) and the elapsed and remaining
// time text (timeText), refreshed once a second. The remaining-time estimate takes speed 0 (the
// drive's own) as 1x, so that it errs long rather than short.
//
// Threads: everything on the thread that calls run (or create and then pumps its queue);
// conversions report their end by 0x400 with lParam 605 to the window. Never throws.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "axserver/burn/burn_command_line.h"
#include "axserver/burn/burner_library.h"
#include "platform/message_types.h"

namespace vexa {

inline constexpr win::UINT kBurnQuery = 0x420;
inline constexpr win::LPARAM kQueryStatusWord = 1;
inline constexpr win::LPARAM kQueryTrackPercent = 2;
inline constexpr win::LPARAM kQueryAbort = 666;

// The conversions of the tracks (the server's conversion machinery in the program).
class TrackConverter {
  public:
    virtual ~TrackConverter() = default;
    // Starts converting `source` to a 44100 Hz 16-bit stereo WAV `destination`, reporting to
    // `notifyWindow`; the job's handle or its error text.
    virtual std::variant<int32_t, std::string> start(const std::string& source,
                                                     const std::string& destination,
                                                     win::HWND notifyWindow) noexcept = 0;
    // A finished job's decoded bytes (0 when unknown).
    virtual int64_t decodedBytes(int32_t handle) const noexcept = 0;
    virtual void end(int32_t handle) noexcept = 0;
};

struct BurnEntry {
    std::string file;
    std::string title;
    int32_t seconds = 0;  // the playlist's length, 0 when unknown
};

struct BurnSetup {
    BurnArguments arguments;
    std::vector<BurnEntry> entries;  // at most 99, at least 1
    std::vector<int32_t> pauses;     // the "#EXTBRN:" numbers, one per entry
    std::string tempPrefix;          // "<temporary folder>/sonariburn_<letter>_"
    std::string burnerLibrary;       // as LoadLibrary takes it
};

class BurnProcess {
  public:
    enum Phase : int32_t {
        kConvertNext = 0,
        kConverting = 1,
        kStartBurner = 5,
        kBurning = 6,
        kBurned = 7,
        kDone = 100,
        kFailed = 999,
    };

    BurnProcess(BurnSetup setup, TrackConverter& converter);
    BurnProcess(const BurnProcess&) = delete;
    BurnProcess& operator=(const BurnProcess&) = delete;
    ~BurnProcess();

    // Makes the window and reports its start; false when it cannot be made.
    bool create() noexcept;
    // create, then the thread's messages until the window is gone.
    void run() noexcept;

    win::HWND window() const noexcept { return window_; }
    int32_t phase() const noexcept { return phase_; }
    const std::string& statusText() const noexcept { return statusText_; }
    const std::string& timeText() const noexcept { return timeText_; }
    // The track file of the 1-based track number.
    std::string trackFile(int32_t number) const;

    win::LRESULT handleMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                               win::LPARAM lParam) noexcept;

  private:
    void tick() noexcept;
    void convertNext() noexcept;
    void conversionFinished() noexcept;
    void startBurner() noexcept;
    void followBurn() noexcept;
    void reportEnd() noexcept;
    void fail(const std::string& text) noexcept;
    void abort() noexcept;
    void closeAudio() noexcept;
    void destroyed() noexcept;
    win::LRESULT query(win::LPARAM what) noexcept;
    void postServer(win::WPARAM code, win::LPARAM value) noexcept;
    // Posts a progress report unless one of this kind went less than a second ago.
    void postProgress(int kind, win::WPARAM code, win::LPARAM value) noexcept;
    void setTitle(int32_t percent) noexcept;
    void updateTimes() noexcept;

    using Clock = std::chrono::steady_clock;

    const BurnSetup setup_;
    TrackConverter& converter_;
    const int32_t trackCount_;
    win::HWND window_ = 0;
    win::HWND serverWindow_ = 0;
    int32_t phase_ = kConvertNext;
    int32_t index_ = 0;  // the track in hand
    int32_t job_ = 0;    // the running conversion, 0 when none
    int64_t decodedBytes_ = 0;
    std::optional<BurnerLibrary> burner_;
    uint32_t session_ = 0;
    bool sessionOpen_ = false;
    bool burnerRunning_ = false;
    int32_t burnPercent_ = 0;
    int32_t trackPercent_ = 0;
    int32_t burnedSeconds_ = 0;
    std::string statusText_;
    std::string timeText_;
    Clock::time_point started_;
    Clock::time_point lastReport_[2];  // conversion, burn
    Clock::time_point lastTimes_;
    std::optional<Clock::time_point> burnStarted_, leadInEnded_, fullAt_;
    uint32_t leadInSectors_ = 0;
};

}  // namespace vexa
