#pragma once
// The burn requests a client collects through commands 755 to 759, each a record that a 32-bit
// handle (1 and up, never reused in a server's life; never an address) maps back to.
//   755 create "l" drive letter -> "l" handle
//   756 add "ls" handle, file: 0 added, 1 refused (the burn test, a full request, an unknown
//       handle)
//   757 free "l" handle: aborts a live burn window (0x420 with lParam 666) and frees; 0
//   758 start "lllll" handle, p1..p4: writes the burn list file and starts the burn process;
//       1 for an empty request, an unknown handle or a list file that cannot be made
//   759 set value "lll" handle, index, value: 0; 1 for an index outside 0 to 255
// Decided: a request holds at most 256 files, but a disc at most 99 tracks, so 758 answers 1
// for a request of more than 99 (splitting it is the client's choice). A burn process that
// cannot be started is not noticed: 758 still answers 0, as the system did.
//
// Main thread, like every module; commands never throw out.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

inline constexpr size_t kMaxRequestFiles = 256;

struct BurnRequest {
    int32_t drive = 0;
    std::vector<std::string> files;
    std::vector<int32_t> values = std::vector<int32_t>(kMaxRequestFiles, 0);
    std::string listFile;
    win::HWND burnWindow = 0;
};

// What 756's test needs to know of a file, and how 758 starts a process.
struct BurnRequestServices {
    std::function<std::vector<std::string>()> extensions;
    std::function<std::string(const std::string& file)> typeOf;
    std::function<int()> windowsMediaVersion;
    std::function<void(const std::string& program, const std::string& commandLine)> startProcess;
    std::function<std::string()> programPath;
};

class BurnRequestsModule final : public BurnRequests {
  public:
    BurnRequestsModule(ServerLink& link, BurnRequestServices services);
    std::span<const CommandHandler> commands() const noexcept override;
    void setBurnWindow(win::WPARAM request, win::HWND burnWindow) noexcept override;

    const BurnRequest* find(uint32_t handle) const;

  private:
    win::LRESULT create(CommandCall& call);
    win::LRESULT add(CommandCall& call);
    win::LRESULT free(CommandCall& call);
    win::LRESULT start(CommandCall& call);
    win::LRESULT setValue(CommandCall& call);
    std::optional<std::string> writeListFile(const BurnRequest& request) const;

    ServerLink& link_;
    BurnRequestServices services_;
    std::map<uint32_t, BurnRequest> requests_;
    uint32_t nextHandle_ = 1;
};

// The module table's maker: needs the input host made before it (null without one).
std::unique_ptr<ServerModule> makeBurnRequestsModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
