// The input plug-in host: loads the decoder libraries "in_*.so" of the plug-in folder, chooses a
// plug-in for a file or address, starts and controls the one that plays, answers file
// information through the plug-ins, and gives plug-ins the host entries of their records.
//
// Error policy: nothing throws out of the host and no exception crosses into a plug-in. A
// library that fails a loading test is skipped silently (kept loaded until unloadAll, as it may
// already run code of its own); a name no plug-in takes gives null / -1 / empty answers, and
// play raises event 101 for it. Null entries of a record are not called.
//
// Threads: every member function runs on the main thread. Plug-in threads reach the host only
// through the record's host entries (host_callbacks.h), which use the ClientLink, the stream
// information and the visualisation ring, all safe from any thread.
//
// Order: loadAll (after the output host has loaded) -> any calls -> unloadAll (before the
// output host unloads). One InputPluginHost holds the host entries' target at a time.
#pragma once

#include <sonari/in_module.h>

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "axserver/inputs/vis_ring.h"
#include "axserver/modules/client_link.h"
#include "axserver/pluginlib/plugin_table.h"

namespace vexa {

class OutputPluginHost;

// A name after its pseudo-address has been resolved: the target, and whether the name was a
// pseudo-address at all.
struct ResolvedName {
    std::string target;
    bool pseudo = false;
};
// Resolves pseudo-addresses ("select://", "range://"); the playlist provides it. Main thread.
using NameResolver = std::function<ResolvedName(std::string_view name)>;

// The last values a playing plug-in gave setStreamInfo (command 729).
struct StreamInfo {
    int16_t info1 = 0;
    int32_t info2 = 0;
    int16_t info3 = 0;
};

// What getDetails reports about a file.
struct FileDetails {
    std::array<std::string, 6> texts;
    std::array<int32_t, 4> numbers{};
};

class InputPluginHost {
  public:
    static constexpr size_t kMaxInputs = 511;

    // `client` and `outputs` must outlive the host.
    InputPluginHost(ClientLink& client, const OutputPluginHost& outputs);
    InputPluginHost(const InputPluginHost&) = delete;
    InputPluginHost& operator=(const InputPluginHost&) = delete;
    ~InputPluginHost();

    // Replaces the pseudo-address resolver (default: every name is its own target).
    void setNameResolver(NameResolver resolver);

    // Loads every "in_*.so" of moduleDir + "/Plugins" in name order, at most kMaxInputs that
    // pass (export present, record returned, version at most 0x102): host fields by version,
    // flags bits 1 and 2 cleared, hostWindow := serverWindow, init, then setStreamInfo.
    void loadAll(std::string_view moduleDir, SonariWindow serverWindow);

    // In table order: quit, release the library. Then the skipped libraries. Safe to call twice.
    void unloadAll() noexcept;

    // The loaded records in load order.
    const std::vector<SonariInModule*>& plugins() const noexcept { return records_; }

    // The plug-in for a name: first one from the start whose claimsFile answers nonzero, else
    // the first that declares the name's lookup key; else, once, the plug-in for "hi.mp3". Sets
    // the found record's hostWindow when it is 0. Null when none.
    SonariInModule* findPlugin(std::string_view name);
    // The same two passes from index `start`, without the fallback: the index found or -1.
    int findPluginFrom(std::string_view name, int start);

    // Resolves the name, finds its plug-in (event 101 and null when none) and gives it the
    // preferred output when it plays through one (null, without an event, when that output is
    // not loaded).
    SonariInModule* prepare(std::string_view name);

    // Prepares, makes the result the active plug-in (none when preparing failed: answers -1),
    // sets the equaliser (only through setEqualizer when flags bit 1 is set), the volume and the
    // balance 0, then answers the plug-in's play(resolved name).
    int32_t play(std::string_view name, int32_t volume);

    // Forwarded to the active plug-in; without one nothing happens, and length and position
    // answer -1 and 0.
    void pause();
    void unpause();
    void stop();
    int32_t length();
    int32_t position();
    void seek(int32_t ms);
    void setVolume(int32_t volume);
    void setPan(int32_t pan);
    SonariInModule* active() const noexcept { return active_; }

    // Length in milliseconds of a file (getFileInfo of its plug-in); -1 when unknown, when the
    // resolved name is empty or when no plug-in takes it.
    int32_t fileLength(std::string_view name);

    // Title and length of a file from its plug-in, or of the stream that plays for "" (the
    // active plug-in); false when no plug-in answers.
    bool fileInfo(std::string_view name, std::string& title, int32_t& lengthMs);

    // getDetails of the plug-in that takes `file` (not for pseudo-addresses; version 0x101 and
    // the entry needed): its answer, nonzero on success; 0 otherwise. `details` holds what the
    // plug-in left in the buffers and numbers (empty texts and zeros when it was not asked).
    int32_t details(std::string_view file, FileDetails& details);

    // The file type list: every pair of every plug-in as "extensions\tdescription", pairs
    // separated by a tab, at most kFileTypeListLimit characters.
    std::string fileTypeList() const;
    // Every single extension of every plug-in, in table order.
    std::vector<std::string> extensionList() const;
    // The first plug-in whose description begins with `prefix` (case-sensitive); null when none.
    SonariInModule* findByDescription(std::string_view prefix) const;

    // Extended file information through the plug-ins' exports, with one-entry caches per kind
    // keyed by the name's lookup key: get answers nonzero when a plug-in answered (value then
    // holds its text, at most outSize - 1 bytes), set nonzero when accepted, write nonzero when
    // the write export of the last set lookup succeeded.
    int32_t getExtendedInfo(std::string_view file, std::string_view key, std::string& value,
                            size_t outSize);
    int32_t setExtendedInfo(std::string_view file, std::string_view key, std::string_view value);
    int32_t writeExtendedInfo();

    // Calls setUseCustomDRM of the plug-in whose description begins with "Kestrine WMA plug-in";
    // false when that plug-in or its export is missing.
    bool setCustomDrm(int32_t value);

    // The start-up item: "setHttpConfigValues" := "16000,2750,3250" for "blah.qrx".
    void configureHttpStreaming();

    // The stream information the plug-ins reported; emptied by loadAll.
    StreamInfo streamInfo() const noexcept;

    // For the host entries (host_callbacks.cpp): any thread.
    ClientLink& client() noexcept { return client_; }
    VisRing& visRing() noexcept { return vis_; }
    void storeStreamInfo(int32_t info1, int32_t info2, int32_t info3) noexcept;

  private:
    struct ExtendedCache {
        std::string key;          // lookup key of the last looked-up name (empty: nothing cached)
        void* primary = nullptr;  // the get or set export found for it
        void* write = nullptr;    // the write export (set cache only)
    };

    SonariInModule* prepareTarget(const std::string& target);
    SonariInModule* findWithFallback(std::string_view name, bool allowFallback);
    int findIndex(std::string_view name, size_t start) const;
    void* exportOf(size_t index, const char* name) const;
    ResolvedName resolve(std::string_view name) const;

    ClientLink& client_;
    const OutputPluginHost& outputs_;
    NameResolver resolver_;
    SonariWindow serverWindow_ = 0;
    PluginTable<SonariInModule> table_;
    std::vector<SonariInModule*> records_;  // the same records, for callers
    SonariInModule* active_ = nullptr;
    ExtendedCache getCache_;
    ExtendedCache setCache_;
    VisRing vis_;

    // Stream information, written by plug-in threads, read by the main thread.
    std::atomic<int32_t> info1_{0};
    std::atomic<int32_t> info2_{0};
    std::atomic<int32_t> info3_{0};

    // The equaliser the host passes at play: off, every band and the preamp neutral.
    static constexpr std::array<unsigned char, SONARI_EQ_BANDS> kBands{
        SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL,
        SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL,
        SONARI_EQ_NEUTRAL, SONARI_EQ_NEUTRAL};
};

}  // namespace vexa
