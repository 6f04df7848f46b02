// Arbitrary query strings through the parser and the search-term builder.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dataserver/server/query.h"
#include "dataserver/server/search_terms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    kinvo::ds::Query q = kinvo::ds::Query::parse(raw);
    for (std::string_view name : {"T1", "T2", "U", "S", "V", "MINBPS", "MAXBPS", "STATS"}) {
        auto v = q.value(name);
        auto r = q.rest(name);
        if (v) {
            // A word is never longer than the bound and never carries a quote into FTS5.
            std::string fts = kinvo::ds::ftsQueryFor(*v);
            std::size_t quotes = 0;
            for (char c : fts) {
                quotes += c == '"';
            }
            if (quotes % 2 != 0 ||
                fts.size() > kinvo::ds::kMaxWords * (kinvo::ds::kMaxWordBytes + 4)) {
                __builtin_trap();
            }
        }
        if (r && r->size() > raw.size()) {
            __builtin_trap();
        }
    }
    kinvo::ds::percentDecode(raw, true);
    return 0;
}
