#include "axserver/inputs/lookup_key.h"

#include "axserver/inputs/texts.h"

namespace vexa {

namespace {

bool isAddress(std::string_view name) {
    return name.find("://") != std::string_view::npos;
}

std::string extensionWithin(std::string_view name, std::string_view separators) {
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    std::string_view after = name.substr(dot + 1);
    if (after.find_first_of(separators) != std::string_view::npos) {
        return {};
    }
    return std::string(after);
}

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string extensionOf(std::string_view name) {
    return extensionWithin(name, isAddress(name) ? "\\" : "\\/");
}

std::string lookupKey(std::string_view name) {
    std::string key = extensionOf(name);
    if (isAddress(name) && (key.empty() || key.find_first_of("?&=") != std::string::npos)) {
        key.clear();
        std::string_view rest = name;
        while (key.empty()) {
            auto query = rest.rfind('?');
            if (query == std::string_view::npos) {
                break;
            }
            rest = rest.substr(0, query);
            key = extensionOf(rest);
        }
    }
    if (key.size() > kLookupKeyLimit) {
        key.resize(kLookupKeyLimit);
    }
    return key;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace vexa
