// The command table: for every command number its name, argument and result type strings, the
// limits of its text arguments and the server module that carries out its effect. The server
// routes by it and the client packs by it, so both sides read the same row.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vexa {

// The server modules that commands are routed to.
enum class Module : uint8_t {
    kChannel,    // the control channel itself (this server core)
    kPlaylist,   // playlist and playlist files
    kPlayback,   // playback controller
    kInputHost,  // input plug-in host
    kVideo,      // video output
    kConvert,    // transcoding
    kBurn,       // burn requests
    kDownload,   // stream download
};
inline constexpr size_t kModuleCount = 8;

std::string_view moduleName(Module module);

struct CommandInfo {
    int32_t number;
    std::string_view name;
    std::string_view args;     // type string of the arguments ("" none)
    std::string_view results;  // type string of the results on success ("" none)
    Module module;
    // Limit (characters, without the zero) of each text argument in order; 0 ends the list.
    std::array<uint32_t, 3> textLimits;
    // The command carries its argument in wParam instead of the block.
    bool argInWParam = false;

    std::span<const uint32_t> limits() const;
};

// The row of a command number; nullptr for numbers that are not commands (default processing).
const CommandInfo* findCommand(int32_t number);

// Every row, in number order.
std::span<const CommandInfo> allCommands();

}  // namespace vexa
