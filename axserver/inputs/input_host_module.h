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

#include "axserver/inputs/client_link.h"
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
    win::LRESULT handleCommand(CommandCall& call) noexcept override;

    // Hooks the playlist provides: pseudo-address resolution and the entries for 727.
    void setNameResolver(NameResolver resolver) { host_.setNameResolver(std::move(resolver)); }
    void setEntryFiles(EntryFileLookup lookup) { entryFiles_ = std::move(lookup); }

    // The plug-ins, for the playback controller and the other modules.
    InputPluginHost& plugins() noexcept { return host_; }

  private:
    // The server's link as the host's way to the client.
    class LinkToClient final : public ClientLink {
      public:
        explicit LinkToClient(ServerLink& link) : link_(link) {}
        void sendEvent(int32_t code) noexcept override;
        void postEvent(int32_t code) noexcept override;
        void postStatus(int32_t code, int32_t value) noexcept override;
        void sendMetadata(std::string_view text, int32_t number) noexcept override;

      private:
        ServerLink& link_;
    };

    win::LRESULT command(CommandCall& call);
    win::LRESULT fileDetails(CommandCall& call);
    win::LRESULT entryDetails(CommandCall& call);

    ServerLink& link_;
    LinkToClient client_;
    InputPluginHost host_;
    EntryFileLookup entryFiles_;
};

}  // namespace vexa
