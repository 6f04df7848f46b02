#pragma once
// Sets one named station value, as M3U attributes and CSV columns name them. Shared by the
// readers so that both formats understand the same names the same way.

#include <optional>
#include <string>
#include <string_view>

#include "dataserver/importers/read_result.h"

namespace kinvo::ds {

enum class FieldSet { Done, Unknown };

// Sets `key` (lower case) to `value`. Returns an error text when the value is not valid for
// the key (a bandwidth that is not a whole number), FieldSet::Unknown for a name it does not
// know. "category" marks the row as having one.
struct FieldResult {
    FieldSet set = FieldSet::Done;
    std::optional<std::string> error;
};
FieldResult setStationField(ImportRow& row, std::string_view key, std::string_view value);

}  // namespace kinvo::ds
