// Feeds arbitrary blocks to the argument reader: the first four bytes are the fill, one byte
// picks a type string, the rest is the payload.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "axserver/channel/command_table.h"
#include "axserver/channel/protocol.h"
#include "axserver/channel/type_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) {
        return 0;
    }
    int32_t fill;
    std::memcpy(&fill, data, 4);
    auto commands = vexa::allCommands();
    const vexa::CommandInfo& info = commands[data[4] % commands.size()];
    bool useResults = (data[4] / commands.size()) & 1;
    std::string_view types = useResults ? info.results : info.args;
    // The payload is the block's size; the input fills its start, the rest stays zero.
    std::vector<uint8_t> payload(std::min<size_t>(size - 5, vexa::kPayloadSize));
    std::memcpy(payload.data(), data + 5, payload.size());
    auto values = vexa::readValues(payload, fill, types);
    if (values) {
        // What was read packs back into exactly the bytes it came from.
        (void)vexa::textsWithinLimits(*values, info.limits());
        std::vector<uint8_t> again(payload.size());
        auto written = vexa::writeValues(again, *values);
        if (!written || *written != fill ||
            std::memcmp(again.data(), payload.data(), static_cast<size_t>(fill)) != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
