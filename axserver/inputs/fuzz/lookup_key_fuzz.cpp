// Names from clients and file type lists from plug-ins: the lookup key and the pair reader must
// stay within their input whatever it holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "axserver/inputs/file_types.h"
#include "axserver/inputs/lookup_key.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string key = vexa::lookupKey(text);
    if (key.size() > 127) {
        __builtin_trap();
    }
    // A file type field always ends with two zeros where the plug-in stops writing.
    std::string types = text;
    types.append(2, '\0');
    for (const auto& pair : vexa::fileTypePairs(types.data())) {
        (void)pair;
    }
    (void)vexa::declaresExtension(types.data(), key);
    return 0;
}
