#include "dataserver/server/search_terms.h"

namespace kinvo::ds {

namespace {

bool isWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

}  // namespace

std::string ftsQueryFor(std::string_view term) {
    std::string query;
    std::size_t words = 0;
    std::size_t i = 0;
    while (i < term.size() && words < kMaxWords) {
        while (i < term.size() && !isWordByte(static_cast<unsigned char>(term[i]))) {
            ++i;
        }
        std::size_t start = i;
        while (i < term.size() && isWordByte(static_cast<unsigned char>(term[i]))) {
            ++i;
        }
        if (i == start) {
            break;
        }
        std::string_view word = term.substr(start, std::min(i - start, kMaxWordBytes));
        if (!query.empty()) {
            query += ' ';
        }
        // Words hold no double quote, so quoting needs no escape.
        query += '"';
        query += word;
        query += "\"*";
        ++words;
    }
    return query;
}

}  // namespace kinvo::ds
