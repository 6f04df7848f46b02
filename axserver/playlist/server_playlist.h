// vexahost's one playlist: its entries with the rules of EntryList, the selection state of the
// pseudo-addresses, the title lookup through the input plug-ins and the playlist files (M3U and
// PLS, local or downloaded).
//
// Error policy: operations answer 0 (done) or 1 (failed) where they answer at all, and tell the
// client through events 105 and 106 and status 221; nothing throws but std::bad_alloc, which
// the command layer turns into a failed command.
//
// Threads: main thread only. Events 105 and 106 are sent synchronously: the client may send
// commands back while they are handled, so they are raised only where the list is consistent.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/client_link.h"
#include "axserver/playlist/entry_list.h"

namespace vexa::playlist {

// What the playlist uses of the rest of the server.
struct PlaylistServices {
    // Title and length (milliseconds) of a name from the plug-in that takes it, or of the
    // playing stream for ""; false when no plug-in answers.
    std::function<bool(std::string_view name, std::string& title, int32_t& lengthMs)> fileInfo;
    // Fetches an address into a local file: 0 success. Empty: remote playlists fail.
    std::function<int32_t(const std::string& address, const std::string& file)> download;
    // The file a remote playlist is downloaded to; deleted after every load.
    std::string downloadTempFile;
    // Adds a folder to the change notifications. May be empty.
    std::function<void(const std::string& folder)> watchFolder;
};

class ServerPlaylist {
  public:
    // `client` must outlive the playlist.
    ServerPlaylist(ClientLink& client, PlaylistServices services);

    EntryList& entries() noexcept { return entries_; }
    const EntryList& entries() const noexcept { return entries_; }

    // Command 700: a file, address or playlist file (by the extension of the stripped name).
    void append(std::string_view name);
    // Adds a name with its looked-up, cleaned title. False when nothing was added.
    bool addFile(std::string_view name);
    // Adds a name with the given title and length.
    bool addFileWithTitle(std::string_view name, std::string_view title, int32_t seconds);
    // 0 when entries were added, 1 otherwise. Changes the current folder to the playlist's.
    int32_t loadM3u(std::string_view name);
    int32_t loadPls(std::string_view name);

    // Title (at most 2047 characters) and seconds of a name; the playing stream's for "".
    std::pair<std::string, int32_t> lookupTitle(std::string_view name);
    // The playing stream's title and length become the current entry's.
    void refreshTitle();

    // "select://" then "range://"; status 221 for a form that does not parse.
    ResolvedName resolve(std::string_view name);
    int32_t selectLimit() const noexcept { return selectLimit_; }
    void setSelectLimit(int32_t limit) noexcept { selectLimit_ = limit; }
    int32_t selectedValue() const noexcept { return selectedValue_; }
    std::pair<int32_t, int32_t> range() const noexcept { return range_; }

    // True when an entry's file name equals `path` exactly.
    bool hasEntryWithFile(std::string_view path) const noexcept;

  private:
    bool store(std::string_view name, std::string_view title, int32_t seconds);
    int32_t loadRemote(std::string_view address, int32_t (ServerPlaylist::*load)(std::string_view));
    // True when a playlist line names something that may be added.
    static bool acceptable(std::string_view name);

    ClientLink& client_;
    PlaylistServices services_;
    EntryList entries_;
    std::set<std::string> watched_;  // folders handed to watchFolder
    int32_t selectLimit_ = -1;
    int32_t selectedValue_ = -1;
    std::pair<int32_t, int32_t> range_{-1, -1};
};

}  // namespace vexa::playlist
