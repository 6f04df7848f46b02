// Reading the fileTypes field of an input module record: zero-terminated texts in pairs (an
// extension list such as "mp3;mp2", then its description), ended by an empty text. Pure
// functions; a null field reads as no pairs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct FileTypePair {
    std::string_view extensions;   // "mp3;mp2"
    std::string_view description;  // "MPEG audio"
};

// The pairs in order. A list without its description (the sequence ends after it) still counts,
// with an empty description.
std::vector<FileTypePair> fileTypePairs(const char* fileTypes);

// Every single extension of every pair, in order (empty parts of a list are left out).
std::vector<std::string_view> declaredExtensions(const char* fileTypes);

// True when one of the declared extensions, cut to kExtensionLimit characters, equals `key`
// without regard to letter case.
bool declaresExtension(const char* fileTypes, std::string_view key);

}  // namespace vexa
