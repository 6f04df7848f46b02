#pragma once
// Reads a catalogue document the way the browser's parser cuts it, step by step, so that tests
// can check that what the server sends comes back as the catalogue holds it. Written from the
// cut rules, independently of the server's writer; an entry that lacks a marker is reported
// as broken instead of guessed at.

#include <cstdint>
#include <string>
#include <vector>

namespace kinvo::ds::test {

struct ReadEntry {
    bool broken = false;
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

std::vector<ReadEntry> readList(const std::string& document, bool searchMode);

}  // namespace kinvo::ds::test
