#pragma once
// Reads a catalogue document with the browser's own parser, so that tests check that what the
// server sends comes back as the catalogue holds it, through the rules the browser relies on.

#include <cstdint>
#include <string>
#include <vector>

namespace kinvo::ds::test {

struct ReadEntry {
    bool broken = false;  // stands for the entries the browser's parser skipped
    std::string address;  // as sent (shifted)
    std::string info;     // after "0" -> "Unknown"
    std::string extra;    // after "0" -> ""
    std::string name;     // decoded
    std::int64_t bandwidth = 0;
    std::string time;
    std::string rating;  // catalogue lists only
    std::string notes;   // decoded; catalogue lists only

    std::string decodedAddress() const;  // with "http://" put in front when it has no scheme
    std::string tag() const;             // info!!!extra###address%%%time
};

// Every entry the browser reads, in order; when the browser would skip any, one last entry with
// broken set says how many.
std::vector<ReadEntry> readList(const std::string& document, bool searchMode);

}  // namespace kinvo::ds::test
