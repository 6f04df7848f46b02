// The playlist as a server module: commands 700, 709 to 711, 714, 721 to 726, 733 to 735, 744
// to 746 and 768, the match of changed files against its entries, and the hooks it gives the
// input host (pseudo-address resolution, the entries of command 727).
//
// Command answers: 0 done; 1 when the arguments do not read (nothing happens) or a playlist file
// of 733 or 734 gave no entry; 722 answers 0x80070057 for an index outside the list. Events 2
// follow 710, 723, 725 and 726; 724 raises none. Nothing throws out of a command (an exception
// answers 1) or out of a hook.
//
// Threads: main thread only, like every module.
#pragma once

#include <functional>
#include <memory>

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"
#include "axserver/playlist/server_playlist.h"

namespace vexa {

class InputHostModule;

class PlaylistModule final : public Playlist {
  public:
    // `inputs` (may be null) gets the resolver and the entry files until the module goes.
    PlaylistModule(ServerLink& link, playlist::PlaylistServices services, InputHostModule* inputs);
    ~PlaylistModule() override;
    PlaylistModule(const PlaylistModule&) = delete;
    PlaylistModule& operator=(const PlaylistModule&) = delete;

    std::span<const CommandHandler> commands() const noexcept override;
    bool hasEntryWithFile(const std::string& path) const noexcept override;

    // Whether playback runs (command 735); the playback controller sets it. Not playing without.
    void setPlayingQuery(std::function<bool()> playing) { playing_ = std::move(playing); }

    playlist::ServerPlaylist& playlist() noexcept { return playlist_; }

  private:
    win::LRESULT append(CommandCall& call);
    win::LRESULT clear(CommandCall& call);
    win::LRESULT setCurrent(CommandCall& call);
    win::LRESULT getCurrent(CommandCall& call);
    win::LRESULT currentEntry(CommandCall& call);
    win::LRESULT count(CommandCall& call);
    win::LRESULT entry(CommandCall& call);
    win::LRESULT deleteEntry(CommandCall& call);
    win::LRESULT swapEntries(CommandCall& call);
    win::LRESULT sortByTitle(CommandCall& call);
    win::LRESULT randomise(CommandCall& call);
    win::LRESULT loadPls(CommandCall& call);
    win::LRESULT loadM3u(CommandCall& call);
    win::LRESULT isNetworkEntry(CommandCall& call);
    win::LRESULT setSelectLimit(CommandCall& call);
    win::LRESULT selectLimit(CommandCall& call);
    win::LRESULT selectedValue(CommandCall& call);
    win::LRESULT refreshTitle(CommandCall& call);

    ServerLink& link_;
    playlist::ServerPlaylist playlist_;
    InputHostModule* inputs_;
    std::function<bool()> playing_;
};

// The module table's maker: titles through the input host, remote playlists through the stream
// download (each may be absent).
std::unique_ptr<ServerModule> makePlaylistModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
