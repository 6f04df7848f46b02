#include "axserver/inputs/file_types.h"

#include <cstring>

#include "axserver/inputs/lookup_key.h"
#include "axserver/inputs/texts.h"

namespace vexa {

std::vector<FileTypePair> fileTypePairs(const char* fileTypes) {
    std::vector<FileTypePair> pairs;
    if (fileTypes == nullptr) {
        return pairs;
    }
    const char* p = fileTypes;
    while (*p != '\0') {
        FileTypePair pair;
        pair.extensions = p;
        p += pair.extensions.size() + 1;
        pair.description = p;
        pairs.push_back(pair);
        if (*p == '\0') {
            break;
        }
        p += pair.description.size() + 1;
    }
    return pairs;
}

std::vector<std::string_view> declaredExtensions(const char* fileTypes) {
    std::vector<std::string_view> extensions;
    for (const FileTypePair& pair : fileTypePairs(fileTypes)) {
        std::string_view list = pair.extensions;
        while (!list.empty()) {
            auto semicolon = list.find(';');
            std::string_view one = list.substr(0, semicolon);
            if (!one.empty()) {
                extensions.push_back(one);
            }
            if (semicolon == std::string_view::npos) {
                break;
            }
            list.remove_prefix(semicolon + 1);
        }
    }
    return extensions;
}

bool declaresExtension(const char* fileTypes, std::string_view key) {
    for (std::string_view extension : declaredExtensions(fileTypes)) {
        if (equalIgnoringCase(extension.substr(0, kExtensionLimit), key)) {
            return true;
        }
    }
    return false;
}

}  // namespace vexa
