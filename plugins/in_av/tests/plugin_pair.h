#pragma once
// A small host for the tests: loads the built in_av.so and out_qpcm.so, fills the input record's
// host fields as the real host does (the disk writer as its output, recording callbacks) and
// records what the plug-in posts. The test program itself defines sonariPostMessage and
// sonariSendMessage, so the plug-in's track ends land in the recorder and its query for the video
// output finds a recording one. One PluginPair at a time in a process.
//
// The disk writer takes sound as fast as it comes; with RealTime the plug-in gets it behind a
// pacer that plays like a sound card: its time runs with the clock (not while paused) and never
// ahead of what was written, and it takes at most kPacerAheadMs more than it has played.

#include <sonari/in_module.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kinvo::in_av::testing {

// What the video output was asked: an open, and the plug-in's time at each draw with the picture's
// luma at its centre (for "YV12"; -1 for the other types).
struct VideoOpen {
    int32_t width, height, flip;
    double aspect;
    uint32_t type;
};
struct VideoDraw {
    int32_t timeMs;
    int centreLuma;
};

// A setSubtitle: the plug-in's time, the text ("" for a clear) and its position bytes.
struct VideoSubtitle {
    int32_t timeMs;
    std::string text;
    int x, y;
};

enum class Pace { Free, RealTime };

class PluginPair {
  public:
    static constexpr int64_t kPacerAheadMs = 500;

    // The disk writer writes its files into `pcmFolder`.
    explicit PluginPair(const std::string& pcmFolder, Pace pace = Pace::Free);
    ~PluginPair();
    PluginPair(const PluginPair&) = delete;
    PluginPair& operator=(const PluginPair&) = delete;

    SonariInModule& in() { return *in_; }
    SonariOutModule& out() { return *out_; }
    void* inLibrary() const { return inLibrary_; }

    // Waits until `count` SONARI_MSG_TRACK_END have been posted; false after `timeout`.
    bool waitForTrackEnds(int count, std::chrono::milliseconds timeout);
    int trackEnds() const;
    // postStatus calls (code, value), reportAddress texts, setStreamInfo calls, sendMetadata
    // calls ("<text> <number>"), in order.
    std::vector<std::pair<int, int>> statuses() const;
    std::vector<std::string> addresses() const;
    std::vector<std::vector<int>> streamInfos() const;
    std::vector<std::string> metadata() const;
    // The samples of the newest file the disk writer made (the WAV header skipped).
    std::string lastPcm() const;
    size_t lastPcmSize() const;

    // Whether the host answers the video output query with the recording output (it does at
    // first) or with 0.
    void offerVideoOutput(bool offer);
    std::vector<VideoOpen> videoOpens() const;
    // The threads the plug-in asked for the video output on, in order.
    std::vector<std::thread::id> videoOutputAskedOn() const;
    std::vector<VideoDraw> videoDraws() const;
    std::vector<VideoSubtitle> videoSubtitles() const;
    int videoCloses() const;
    // The first picture drawn after the latest open, packed: rows without padding, a "YV12"
    // picture's planes Y, U, V.
    std::string firstPicture() const;

  private:
    std::string folder_;
    void* inLibrary_ = nullptr;
    void* outLibrary_ = nullptr;
    SonariInModule* in_ = nullptr;
    SonariOutModule* out_ = nullptr;
};

}  // namespace kinvo::in_av::testing
