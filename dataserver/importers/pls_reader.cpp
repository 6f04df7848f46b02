// PLS: an INI-style "[playlist]" section with numbered File, Title and Length keys.
#include <charconv>
#include <map>

#include "dataserver/importers/lower_case.h"
#include "dataserver/importers/playlist_readers.h"
#include "dataserver/importers/text_lines.h"

namespace kinvo::ds {

namespace {

struct PlsEntry {
    std::size_t line = 0;
    std::string file;
    std::string title;
    std::optional<std::int64_t> length;
};

}  // namespace

ReadResult readPls(std::string_view content) {
    ReadResult result;
    std::map<long, PlsEntry> entries;  // by entry number, so the file's key order does not matter
    bool inPlaylist = false;
    bool sawHeader = false;
    std::vector<std::string_view> lines = splitLines(content);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string_view line = trim(lines[n]);
        std::size_t lineNo = n + 1;
        if (line.empty() || line.starts_with(';') || line.starts_with('#')) {
            continue;
        }
        if (line.starts_with('[')) {
            inPlaylist = lower(line) == "[playlist]";
            sawHeader = sawHeader || inPlaylist;
            continue;
        }
        if (!inPlaylist) {
            if (!sawHeader) {
                result.errors.push_back({lineNo, "no [playlist] section before the entries"});
                return result;
            }
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            result.errors.push_back({lineNo, "line is not key=value"});
            continue;
        }
        std::string key = lower(trim(line.substr(0, eq)));
        std::string_view value = trim(line.substr(eq + 1));
        std::string_view kind;
        for (std::string_view k : {"file", "title", "length"}) {
            if (key.starts_with(k)) {
                kind = k;
            }
        }
        if (kind.empty()) {
            continue;  // NumberOfEntries, Version
        }
        std::string_view number = std::string_view(key).substr(kind.size());
        long index = 0;
        auto [p, ec] = std::from_chars(number.data(), number.data() + number.size(), index);
        if (ec != std::errc() || p != number.data() + number.size() || index < 0) {
            result.errors.push_back({lineNo, "key " + key + " has no entry number"});
            continue;
        }
        PlsEntry& e = entries[index];
        if (kind == "file") {
            if (!e.file.empty()) {
                result.errors.push_back({lineNo, "File" + std::string(number) + " given twice"});
                continue;
            }
            e.file.assign(value);
            e.line = lineNo;
        } else if (kind == "title") {
            e.title.assign(value);
            if (e.line == 0) {
                e.line = lineNo;
            }
        } else {
            std::int64_t len = 0;
            auto [q, ec2] = std::from_chars(value.data(), value.data() + value.size(), len);
            if (ec2 != std::errc() || q != value.data() + value.size()) {
                result.errors.push_back(
                    {lineNo, "Length \"" + std::string(value) + "\" is not a whole number"});
                continue;
            }
            e.length = len;
        }
    }
    if (!sawHeader && result.errors.empty()) {
        result.errors.push_back({0, "no [playlist] section"});
    }
    for (auto& [index, e] : entries) {
        if (e.file.empty()) {
            result.errors.push_back({e.line, "entry " + std::to_string(index) + " has no File"});
            continue;
        }
        ImportRow row;
        row.line = e.line;
        row.station.address = e.file;
        row.station.name = e.title.empty() ? nameFromAddress(e.file) : e.title;
        if (e.length && *e.length > 0) {
            row.station.seconds = *e.length;
            row.station.timeText = formatSeconds(*e.length);
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

}  // namespace kinvo::ds
