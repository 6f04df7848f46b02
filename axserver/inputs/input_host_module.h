// The input plug-in host as the server core drives it: loading and unloading, the extended
// file information item of start-up, and the commands the command table routes to it (702,
// 727, 729, 752, 754, 760, 762, 763, 765). Its plug-ins reach the client through the server's
// link.
//
// Command answers: 0 done; 1 when the arguments do not read (nothing happens) or, for 762, 763
// and 765, when the plug-in refused or is missing; 727 answers 0x80070057 for an index outside
// the playlist, 1 for an entry without a file name, and "not implemented" until a playlist
// gives the host its entries (setEntryFiles).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

// The file name of playlist entry `index`; nullopt when the index is out of range.
using EntryFileLookup = std::function<std::optional<std::string>(int32_t index)>;

class InputHostModule final : public InputHost {
  public:
    InputHostModule(ServerLink& link, const OutputPluginHost& outputs);

    void loadPlugins() noexcept override;
    void unloadPlugins() noexcept override;
    bool setExtendedFileInfo(const std::string& file, const std::string& item,
                             const std::string& value) noexcept override;
    std::span<const CommandHandler> commands() const noexcept override;

    // Hooks the playlist provides: pseudo-address resolution and the entries for 727.
    void setNameResolver(NameResolver resolver) { host_.setNameResolver(std::move(resolver)); }
    void setEntryFiles(EntryFileLookup lookup) { entryFiles_ = std::move(lookup); }

    // The plug-ins, for the playback controller and the other modules.
    InputPluginHost& plugins() noexcept { return host_; }

  private:
    win::LRESULT fileTypes(CommandCall& call);
    win::LRESULT streamInfo(CommandCall& call);
    win::LRESULT entryDetails(CommandCall& call);
    win::LRESULT fileDetails(CommandCall& call);
    win::LRESULT getFileInfo(CommandCall& call);
    win::LRESULT fileLength(CommandCall& call);
    win::LRESULT setFileInfo(CommandCall& call);
    win::LRESULT writeFileInfo(CommandCall& call);
    win::LRESULT setCustomDrm(CommandCall& call);

    ServerLink& link_;
    InputPluginHost host_;
    EntryFileLookup entryFiles_;
};

// The module table's maker: needs the output host made before it (null without one).
std::unique_ptr<ServerModule> makeInputHostModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
