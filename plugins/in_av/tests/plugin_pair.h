#pragma once
// A small host for the tests: loads the built in_av.so and out_qpcm.so, fills the input record's
// host fields as the real host does (the disk writer as its output, recording callbacks) and
// records what the plug-in posts. The test program itself defines sonariPostMessage, so the
// plug-in's track ends land in the recorder. One PluginPair at a time in a process.

#include <sonari/in_module.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace kinvo::in_av::testing {

class PluginPair {
  public:
    // The disk writer writes its files into `pcmFolder`.
    explicit PluginPair(const std::string& pcmFolder);
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

  private:
    std::string folder_;
    void* inLibrary_ = nullptr;
    void* outLibrary_ = nullptr;
    SonariInModule* in_ = nullptr;
    SonariOutModule* out_ = nullptr;
};

}  // namespace kinvo::in_av::testing
