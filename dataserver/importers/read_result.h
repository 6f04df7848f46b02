#pragma once
// What a playlist reader hands to the importer: the stations it found, each with the line it
// starts on, and the rows it could not read. Readers only read; the importer checks the fields.

#include <cstddef>
#include <string>
#include <vector>

#include "dataserver/store/station.h"

namespace kinvo::ds {

struct ImportRow {
    std::size_t line = 0;  // from 1
    StationInput station;
    bool hasCategory = false;  // the file named a category for this row
};

struct RowError {
    std::size_t line = 0;  // from 1; 0 for the file as a whole
    std::string reason;
};

struct ReadResult {
    std::vector<ImportRow> rows;
    std::vector<RowError> errors;
};

}  // namespace kinvo::ds
