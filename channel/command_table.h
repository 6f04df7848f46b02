// The command table: for every command number its name, argument and result type strings and the
// limits of its text arguments. The server reads arguments by it and the client packs by it, so
// both sides read the same row; which server module carries a command out is the server's own
// business (each module lists the commands it answers).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vexa {

struct CommandInfo {
    int32_t number;
    std::string_view name;
    std::string_view args;     // type string of the arguments ("" none)
    std::string_view results;  // type string of the results on success ("" none)
    // Limit (characters, without the zero) of each text argument in order; 0 ends the list.
    std::array<uint32_t, 3> textLimits;
    // The command carries its argument in wParam instead of the block.
    bool argInWParam = false;
    // A second argument type string the server also accepts ("" none): the arguments are read
    // by `args` when they fill the block exactly by it, else by this one. Its texts come first
    // and share `textLimits`.
    std::string_view longArgs = {};

    std::span<const uint32_t> limits() const;
};

// The row of a command number; nullptr for numbers that are not commands (default processing).
const CommandInfo* findCommand(int32_t number);

// Every row, in number order.
std::span<const CommandInfo> allCommands();

}  // namespace vexa
