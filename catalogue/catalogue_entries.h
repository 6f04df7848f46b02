#pragma once
// The catalogue document format: the list and search answers of the data server, read entry
// by entry into station records. No Qt: the data server's tests read its answers with this.
//
// A document is cut into entries at every "<a href" (any letter case); text before the first is
// ignored. An entry then reads, each piece found from where the previous one ended:
//   anything up to a double quote, the address ended by `">`, F1 (infoText) ended by "~~",
//   F2 (extraText) "@@", F3 (name, shifted) "##", F4 (bandwidth) "%%", and then
//   catalogue lists: F5 (timeText) "!!", F6 (rating) "**", F7 (notes, shifted) "</a" (any case);
//   search results: F5 (play time in seconds) "<".
// Everything after the last piece up to the next entry is ignored.
//
// An entry that lacks any of its terminators is skipped whole: its fields are never mixed with
// another station's. The parse takes time linear in the document's size.

#include "catalogue/station_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace kinvo {

enum class ExtractMode { Catalogue, Search };

// The whole number at the start of a field, after optional blanks and sign (0 when the field
// does not start with one; digits beyond 64 bits saturate). "300" and "300kbps" give 300.
std::int64_t leadingNumber(std::string_view field);

// Calls visit with every complete entry of document, in order, as a station record (F1 "0"
// reads "Unknown", F2 "0" reads empty, name and notes decoded), until visit returns false.
void forEachCatalogueEntry(std::string_view document, ExtractMode mode,
                           const std::function<bool(const StationRecord&)>& visit);

// The adult filter: with "AdultSettings" 1 every station passes, with 0 those whose name in
// capitals does not contain "ADULT"; any other value, or one that is not a number, lets none.
bool passesAdultFilter(std::string_view name, std::optional<std::int64_t> adultSettings);

}  // namespace kinvo
