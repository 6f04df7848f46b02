#pragma once
// The catalogue document: one entry per station, each opened by "<a href" and cut by the
// browser at fixed markers. Catalogue lists carry seven fields, search answers five (the fifth
// being the play time in whole seconds, ended by the "<" of "</a").
//
// Fields must have passed fieldProblem (field_rules.h); an entry whose address cannot be sent
// (a catalogue written by other means) is left out and the append returns false.

#include <cstdint>
#include <string>
#include <string_view>

namespace kinvo::ds {

struct ListEntry {
    std::string_view address;  // plain; shifted on the way out
    std::string_view info;
    std::string_view extra;
    std::string_view name;  // plain; shifted on the way out
    std::int64_t bandwidth = 0;
    std::string_view timeText;
    std::string_view rating;
    std::string_view notes;  // plain; shifted on the way out
};

bool appendCatalogueEntry(std::string& document, const ListEntry& entry);

struct SearchEntry {
    std::string_view address;
    std::string_view info;
    std::string_view extra;
    std::string_view name;
    std::int64_t bandwidth = 0;
    std::int64_t seconds = 0;
};

bool appendSearchEntry(std::string& document, const SearchEntry& entry);

}  // namespace kinvo::ds
