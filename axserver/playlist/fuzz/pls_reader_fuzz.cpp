// The PLS reader on any profile-file text: counts, sparse and repeated keys, long values.
#include <cstdint>
#include <string_view>

#include "axserver/playlist/pls_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vexa::playlist::PlsContents contents =
        vexa::playlist::readPls(win::ProfileFile::parse(text));
    for (const auto& entry : contents.entries) {
        if (entry.file.empty() || entry.file.size() > vexa::playlist::kMaxPlsFile) {
            __builtin_trap();
        }
    }
    if (contents.declared <= 0 && !contents.entries.empty()) {
        __builtin_trap();
    }
    return 0;
}
