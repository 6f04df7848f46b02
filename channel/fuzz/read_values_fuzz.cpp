// Feeds arbitrary blocks to the server's argument reader: the first four bytes are the fill,
// one byte picks a command (its argument or its result type string), the rest is the payload.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "channel/command_table.h"
#include "channel/control_block.h"
#include "channel/protocol.h"
#include "channel/type_string.h"

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

    // A whole block: fill, then the input's bytes at the payload's start, zeros after them.
    static std::vector<uint8_t> memory(vexa::kBlockSize);
    std::fill(memory.begin(), memory.end(), 0);
    size_t payloadBytes = std::min<size_t>(size - 5, vexa::kPayloadSize);
    std::memcpy(memory.data() + 4, data + 5, payloadBytes);
    vexa::ControlBlock block = vexa::ControlBlock::over(memory);
    block.setFill(fill);

    auto values = block.readArgs(types, info.limits());
    if (block.fill() != vexa::kFillEmpty) {
        __builtin_trap();  // every read leaves fill at -1
    }
    if (values) {
        // What was read packs back into exactly the bytes it came from.
        std::vector<uint8_t> again(vexa::kPayloadSize);
        auto written = vexa::writeValues(again, *values);
        if (!written || *written != fill ||
            std::memcmp(again.data(), memory.data() + 4, static_cast<size_t>(fill)) != 0 ||
            !vexa::textsWithinLimits(*values, info.limits())) {
            __builtin_trap();
        }
    }
    return 0;
}
