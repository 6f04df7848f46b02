// The list file reader over arbitrary bytes: it accepts or refuses, never crashes, and what it
// accepts writes back to a file that reads the same items.
#include "browser/core/sb_list.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kinvo::SBList list;
    list.add("before", "tag", 1);
    if (!list.deserialize(bytes)) {
        if (list.count() != 1 || list.text(0) != "before") {
            std::abort();  // a refused file must leave the list alone
        }
        return 0;
    }
    const std::string written = kinvo::SBList::serialize(list);
    kinvo::SBList again;
    if (!again.deserialize(written) || kinvo::SBList::serialize(again) != written) {
        std::abort();
    }
    return 0;
}
