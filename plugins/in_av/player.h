#pragma once
// The playing of one file or stream: opens it, runs the decode thread that feeds the output
// plug-in, and answers the record's play-control entries.
//
// Threads: every member function runs on the host's main thread (the record's entries); they
// only flip flags, read atomics, call the output's thread-safe entries and join. All FFmpeg
// calls that can block (network opens, reads, reconnects) run on the decode thread. Shared
// between the two: the atomics below and streamTitle_ (guarded by titleLock_); everything else
// is written by the main thread only while no decode thread runs.
//
// A local file is opened and the output opened inside play (a failure answers -1); a network
// address answers 0 at once and is opened on the decode thread, which posts 208 / 223 (percent)
// / 214 while it fills the read-ahead, 206 and the track end when the stream cannot be opened,
// and reconnects a stream that drops (at most kMaxReconnects times in a row) before it ends the
// track. When decoding ends the thread waits until the output has played everything, then posts
// the track end; stop never posts it.
//
// Pictures: when the input has a video stream, the host's video output is fetched (at play for a
// local file, on the decode thread for a network stream) and the same decode thread decodes the
// pictures beside the sound, a few ahead (VideoDecoder), and hands each one to the output
// (PictureSink) when the play clock (PlayClock: the output's time, else a clock of its own)
// reaches it. A picture later than its own duration is dropped, but never more than
// kMaxDropsInRow in a row, nor the first one after the start or a seek. No drawing while paused.
// Without a video output the sound plays alone. A file with pictures and no sound plays against
// the clock alone, with no output opened (drawn when there is a video output, else only timed),
// and ends like any other; its position is the clock's. The video output is closed at stop,
// after the decode thread ended.
//
// Error policy: play answers -1 on failure; nothing else fails visibly; nothing throws out of
// the member functions but std::system_error from play when no thread can be started.

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "lib/ffmpeg/handles.h"
#include "plugins/in_av/buffering.h"
#include "plugins/in_av/host_link.h"
#include "plugins/in_av/media_info.h"
#include "plugins/in_av/picture_sink.h"
#include "plugins/in_av/play_clock.h"
#include "plugins/in_av/source.h"
#include "plugins/in_av/subtitle_track.h"
#include "plugins/in_av/video_decoder.h"

namespace kinvo::in_av {

class Player {
  public:
    static constexpr int kMaxReconnects = 3;
    static constexpr int kMaxDropsInRow = 5;

    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Stops what plays, then starts `name`. 0 started, -1 failed (local files only).
    int32_t play(const std::string& name, const HostLink& host, const Buffering& buffering,
                 const std::set<std::string>& protocols);
    // Interrupts any open or read, joins the decode thread and closes the output. Returns well
    // within a second. Safe when nothing plays.
    void stop() noexcept;

    void pause() noexcept;
    void unpause() noexcept;
    bool paused() const noexcept { return paused_; }
    // -1 unknown or live.
    int32_t lengthMs() const noexcept { return lengthMs_; }
    // The output's time; a seek not yet done answers its target.
    int32_t positionMs() const noexcept;
    void seek(int32_t ms) noexcept;
    // Forwarded to the output when it is open, and kept for the next open.
    void setVolume(int32_t volume) noexcept;
    void setPan(int32_t pan) noexcept;

    bool playing() const noexcept { return thread_.joinable(); }
    bool network() const noexcept { return network_; }
    const std::string& name() const noexcept { return name_; }
    // The latest ICY stream title ("" none).
    std::string streamTitle() const;
    // What the container of the local file that plays says about it (read when play opened it);
    // empty for a network address; kept after stop until the next play. Main thread.
    const std::optional<MediaInfo>& playingInfo() const noexcept { return playingInfo_; }

  private:
    static int interrupted(void* player) noexcept;
    void run() noexcept;
    void decodeLoop();
    bool openOutput() noexcept;
    // Opens the decoder of the source's pictures (again, after a reconnect) and the sink for the
    // video output when there is one. Decode thread, or the main thread while none runs.
    void openVideo();
    void showPictures(int64_t nowMs);
    bool connect();
    bool reconnect();
    void applySeek();
    bool writeSome();
    bool nextPacket(ffmpeg::Packet& packet);
    bool nextNetworkPacket(ffmpeg::Packet& packet);
    void readAhead();
    // Reads ahead until targetMs are queued, posting 223 on the way and 214 at the end (208
    // first when `announce`); false when stopped.
    bool fill(int32_t targetMs, bool announce);
    void checkStreamTitle();
    bool sleepUnlessStopped(int ms) const noexcept;

    // Set by the main thread while no decode thread runs; read by the decode thread.
    std::string name_;
    std::optional<MediaInfo> playingInfo_;
    HostLink host_;
    Buffering buffering_;
    std::vector<std::string> candidates_;  // addresses to open, in order (network)
    bool network_ = false;
    AVIOInterruptCB interrupt_{};

    // Shared between the main thread and the decode thread.
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> decoding_{false};  // the decode thread still takes seeks
    std::atomic<int64_t> seekMs_{-1};    // a seek the decode thread has not done; -1 none
    std::atomic<int32_t> lengthMs_{-1};
    std::atomic<bool> outputOpen_{false};
    std::atomic<int64_t> clockMs_{0};  // the play clock, for a file without sound
    std::atomic<int32_t> volume_{255};
    std::atomic<int32_t> pan_{0};
    mutable std::mutex titleLock_;  // guards streamTitle_
    std::string streamTitle_;

    // The decode thread's own (the main thread touches them only while it does not run).
    std::unique_ptr<Source> source_;
    std::vector<char> pcm_;  // decoded, not yet written
    size_t pcmOffset_ = 0;
    std::deque<ffmpeg::Packet> queue_;  // network read-ahead
    int64_t queuedMs_ = 0;
    bool readEnded_ = false;  // no more packets will come (end, or reconnects used up)
    bool dropped_ = false;    // the connection failed; reconnect once the read-ahead is used
    int reconnects_ = 0;      // in a row, without a healthy connection between
    int packetsSinceConnect_ = 0;
    int packetsSinceTitle_ = 0;
    bool inputEnded_ = false;  // every packet has been read (until a seek)
    SonariVideoOutput* videoOutput_ = nullptr;
    std::unique_ptr<VideoDecoder> video_;       // null: no pictures
    std::unique_ptr<PictureSink> pictures_;     // null: no video output
    std::unique_ptr<SubtitleTrack> subtitles_;  // null: no text subtitles or no video output
    PlayClock clock_;
    int dropsInRow_ = 0;
    bool drewSinceRestart_ = false;  // a picture was drawn since the start or the last seek

    std::thread thread_;  // last: it goes first
};

}  // namespace kinvo::in_av
