#pragma once
// Burn mode: the burn process that a start command (758) runs as a second vexahost with
// "/BURN=" on its command line. It reads the arguments (burn_command_line.h), loads the list
// file as a playlist (titles and lengths from the input plug-ins where the list has none), takes
// the "#EXTBRN:" numbers, deletes the list file, and, when it held entries, runs the burn window
// (burn_process.h) until it goes, converting through the conversion machinery in burn mode
// (decoders without extended read play into the capture output). At most the first 99 entries
// are burned. The back end is "PrimoSDK.DLL" from the program's folder.
//
// Main thread of the burn process; never throws.
#include <memory>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

class BurnModeModule final : public BurnMode {
  public:
    BurnModeModule(ServerLink& link, InputPluginHost& inputs);
    void run(const std::string& arguments) noexcept override;

  private:
    ServerLink& link_;
    InputPluginHost& inputs_;
};

std::unique_ptr<ServerModule> makeBurnModeModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
