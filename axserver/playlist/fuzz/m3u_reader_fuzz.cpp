// The M3U reader on any bytes: lines at and beyond the read buffer, zero bytes, stray CRs.
#include <cstdint>
#include <cstdio>
#include <string>

#include "axserver/playlist/m3u_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    std::FILE* file = ::fmemopen(text.data(), text.size(), "r");
    if (file == nullptr) {
        return 0;
    }
    vexa::playlist::M3uParser parser;
    std::string line;
    for (vexa::playlist::LineRead read;
         (read = vexa::playlist::readLine(file, line)) != vexa::playlist::LineRead::kEnd;) {
        if (line.size() > vexa::playlist::kMaxLineLength) {
            __builtin_trap();
        }
        if (read == vexa::playlist::LineRead::kTooLong) {
            parser.skippedLine();
        } else if (auto entry = parser.line(line)) {
            if (entry->name.empty() && !entry->asf) {
                __builtin_trap();  // an empty line is never an entry
            }
            if (entry->title.size() > vexa::playlist::kMaxPendingTitle) {
                __builtin_trap();
            }
        }
    }
    std::fclose(file);
    return 0;
}
