#pragma once
// The burn command line: written by the start command, read by burn mode.
//
//   "<program>" /BURN=<letter>,"<list file>",<p1>,<p2>,<p3>,<p4>,<server window>,<request>
//
// Reading follows the system's rule: the letter is the first character, the list file starts
// three characters on and ends at the next double quote, and each number follows the next comma
// searching from the start of the list file's name (so a comma in that name would shift them;
// the server makes the name in the temporary folder, where it has none). Pure; never throws but
// bad_alloc.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/message_types.h"

namespace vexa {

struct BurnArguments {
    char drive = 0;
    std::string listFile;
    // p1 (test write), p2 (underrun protection), p3 (speed), p4 (disc at once), the server
    // window, the request handle.
    std::array<int32_t, 6> numbers{};
};

std::string burnCommandLine(const std::string& program, const BurnArguments& arguments);

// The text after "/BURN="; nullopt when it is too short to hold a letter and a quoted name.
std::optional<BurnArguments> parseBurnArguments(std::string_view text);

}  // namespace vexa
