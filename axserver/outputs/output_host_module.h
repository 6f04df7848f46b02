// The output plug-in host as the server core drives it: loading at start-up with the server's
// program folder and window, unloading at shutdown.
#pragma once

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"
#include "axserver/outputs/output_plugin_host.h"

namespace vexa {

class OutputHostModule final : public OutputHost {
  public:
    explicit OutputHostModule(ServerLink& link) : link_(link) {}

    void loadPlugins() noexcept override;
    void unloadPlugins() noexcept override;

    // The plug-ins, for the input host (which gives the preferred one to the decoders).
    const OutputPluginHost& plugins() const noexcept { return host_; }

  private:
    ServerLink& link_;
    OutputPluginHost host_;
};

// The module table's maker.
std::unique_ptr<ServerModule> makeOutputHostModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
