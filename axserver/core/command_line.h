// Reading vexahost's command line: the whole text after the program name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

struct CommandLine {
    bool burnMode = false;
    std::string burnArguments;  // the text after "/BURN=" in burn mode
    uint32_t clientWindow = 0;  // server mode; 0 = no client: exit at once
};

// "/BURN=" anywhere selects burn mode. Otherwise the text is a decimal number: leading blanks
// are skipped, an optional sign is taken, reading stops at the first non-digit; the value is
// taken modulo 2^32 (a window handle is 32 bits), so no input overflows.
CommandLine parseCommandLine(std::string_view text);

}  // namespace vexa
