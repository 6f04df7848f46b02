// The "select://" and "range://" parsers on any text, under a limit taken from the input.
#include <cstdint>
#include <cstring>
#include <string>

#include "axserver/playlist/pseudo_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t limit = -1;
    if (size >= sizeof limit) {
        std::memcpy(&limit, data, sizeof limit);
        data += sizeof limit;
        size -= sizeof limit;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : {"select://" + text, text}) {
        const auto select = vexa::playlist::parseSelect(name, limit);
        if (select.error != 0 && (select.error < 201 || select.error > 206)) {
            __builtin_trap();
        }
        if (select.target.size() > name.size()) {
            __builtin_trap();
        }
    }
    for (const std::string& name : {"range://" + text, text}) {
        const auto range = vexa::playlist::parseRange(name);
        if (range.error != 0 && range.error != 101 && range.error != 102) {
            __builtin_trap();
        }
        if (range.error == 0 && range.isRange && (range.start < 0 || range.end < 0)) {
            __builtin_trap();
        }
    }
    return 0;
}
