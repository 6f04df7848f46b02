#include "axserver/core/command_line.h"

#include "channel/protocol.h"

namespace vexa {

CommandLine parseCommandLine(std::string_view text) {
    CommandLine result;
    if (size_t at = text.find(kBurnSwitch); at != std::string_view::npos) {
        result.burnMode = true;
        result.burnArguments = std::string(text.substr(at + std::string_view(kBurnSwitch).size()));
        return result;
    }
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    result.clientWindow = negative ? 0u - value : value;
    return result;
}

}  // namespace vexa
