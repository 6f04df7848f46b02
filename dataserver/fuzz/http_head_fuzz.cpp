// Arbitrary bytes as a connection's received data: the head reader and the Range reader must
// hold their bounds whatever they are given.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dataserver/server/byte_ranges.h"
#include "dataserver/server/http_head.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kinvo::ds;
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    HeadResult r = readHead(raw);
    if (r.state == HeadResult::State::Complete) {
        // A complete head lies within what was received, within every bound.
        if (r.headBytes > raw.size() || r.head.headers.size() > kMaxHeaderLines ||
            r.head.contentLength > kMaxBody) {
            __builtin_trap();
        }
        std::string_view range = r.head.header("Range");
        for (std::uint64_t fileSize : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{1000}}) {
            RangeAnswer a = resolveRange(range, fileSize);
            if (a.kind == RangeAnswer::Kind::Partial && (a.first > a.last || a.last >= fileSize)) {
                __builtin_trap();
            }
        }
    }
    if (r.state == HeadResult::State::Incomplete &&
        raw.size() > kMaxRequestLine + 2 * kMaxHeadBytes) {
        __builtin_trap();  // a head that outgrew its bounds must be refused, not awaited
    }
    return 0;
}
