#include "axserver/playlist/pls_reader.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <unordered_map>

namespace vexa::playlist {

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The n of a key "file<n>" written as "File%d" writes it (no sign, no leading zero); 0 otherwise.
int32_t fileKeyNumber(std::string_view key) {
    constexpr std::string_view kFile = "file";
    if (!key.starts_with(kFile) || key.size() == kFile.size() || key[kFile.size()] == '0' ||
        key.size() > kFile.size() + 10) {
        return 0;
    }
    int64_t n = 0;
    for (char c : key.substr(kFile.size())) {
        if (c < '0' || c > '9') {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n > INT32_MAX ? 0 : static_cast<int32_t>(n);
}

}  // namespace

PlsContents readPls(const win::ProfileFile& file) {
    // Keys without regard to case, the first line of a key winning, as value() finds them.
    std::unordered_map<std::string, std::string> keys;
    std::vector<int32_t> fileNumbers;  // of the "File<n>" keys present, each once
    for (auto& [key, value] : file.section("playlist")) {
        std::string name = lowered(key);
        const int32_t number = fileKeyNumber(name);
        if (keys.try_emplace(std::move(name), std::move(value)).second && number > 0) {
            fileNumbers.push_back(number);
        }
    }
    auto text = [&](const std::string& key) -> const std::string* {
        auto found = keys.find(key);
        return found == keys.end() ? nullptr : &found->second;
    };
    auto number = [&](const std::string& key, int defaultValue) {
        const std::string* value = text(key);
        return value == nullptr ? defaultValue : win::profileInt(*value, defaultValue);
    };

    PlsContents contents;
    contents.declared = number("numberofentries", -1);
    if (contents.declared <= 0) {
        return contents;
    }
    const bool titles = number("version", 1) >= 2;
    // Numbers 1 to the count in order; only those with a key can give an entry.
    std::sort(fileNumbers.begin(), fileNumbers.end());
    for (const int32_t i : fileNumbers) {
        if (i > contents.declared) {
            break;
        }
        const std::string n = std::to_string(i);
        const std::string* name = text("file" + n);
        if (name == nullptr || name->empty()) {
            continue;
        }
        PlsEntry entry{name->substr(0, kMaxPlsFile), {}, -1};
        if (titles) {
            if (const std::string* title = text("title" + n)) {
                entry.title = *title;
            }
            entry.seconds = number("length" + n, -1);
        }
        contents.entries.push_back(std::move(entry));
    }
    return contents;
}

}  // namespace vexa::playlist
