// Extended M3U: "#EXTINF:<duration> key="value" ...,<title>" lines before addresses.
#include <charconv>

#include "dataserver/importers/lower_case.h"
#include "dataserver/importers/playlist_readers.h"
#include "dataserver/importers/station_fields.h"
#include "dataserver/importers/text_lines.h"

namespace kinvo::ds {

namespace {

struct Extinf {
    std::size_t line = 0;
    ImportRow row;
};

// Reads the text after "#EXTINF:". Returns an error text, or fills `row`.
std::optional<std::string> parseExtinf(std::string_view rest, ImportRow& row) {
    // The duration runs to the first blank or comma.
    std::size_t end = rest.find_first_of(" \t,");
    std::string_view duration = trim(rest.substr(0, end));
    double seconds = 0;
    auto [p, ec] = std::from_chars(duration.data(), duration.data() + duration.size(), seconds);
    if (ec != std::errc() || p != duration.data() + duration.size()) {
        return "#EXTINF duration \"" + std::string(duration) + "\" is not a number";
    }
    if (seconds > 0 && seconds < 1e9) {
        row.station.seconds = static_cast<std::int64_t>(seconds);
        row.station.timeText = formatSeconds(row.station.seconds);
    }
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);

    // Attributes up to the first comma outside quotes; the title is everything after it.
    std::string title;
    std::string name;
    std::size_t i = 0;
    while (true) {
        while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) {
            ++i;
        }
        if (i >= rest.size()) {
            break;
        }
        if (rest[i] == ',') {
            title.assign(trim(rest.substr(i + 1)));
            break;
        }
        std::size_t eq = rest.find('=', i);
        if (eq == std::string_view::npos || eq + 1 >= rest.size() || rest[eq + 1] != '"') {
            return std::string("#EXTINF attribute without key=\"value\" form");
        }
        std::string key = lower(trim(rest.substr(i, eq - i)));
        std::size_t close = rest.find('"', eq + 2);
        if (close == std::string_view::npos) {
            return "#EXTINF attribute " + key + " has no closing quote";
        }
        std::string_view value = rest.substr(eq + 2, close - eq - 2);
        if (key == "tvg-name") {
            name.assign(value);
        } else {
            FieldResult r = setStationField(row, key, value);
            if (r.error) {
                return r.error;
            }
            // Unknown attributes (tvg-id, tvg-country, ...) belong to other players.
        }
        i = close + 1;
    }
    row.station.name = name.empty() ? title : name;
    return std::nullopt;
}

}  // namespace

ReadResult readM3u(std::string_view content) {
    ReadResult result;
    std::optional<Extinf> pending;
    std::string group;
    std::vector<std::string_view> lines = splitLines(content);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string_view line = trim(lines[n]);
        std::size_t lineNo = n + 1;
        if (line.empty()) {
            continue;
        }
        if (line.starts_with("#EXTINF:")) {
            if (pending) {
                result.errors.push_back({pending->line, "#EXTINF without an address after it"});
            }
            pending = Extinf{lineNo, {}};
            pending->row.line = lineNo;
            if (auto error = parseExtinf(line.substr(8), pending->row)) {
                result.errors.push_back({lineNo, *error});
                pending.reset();
                // Skip the address that belongs to the broken entry.
                while (n + 1 < lines.size() &&
                       (trim(lines[n + 1]).empty() || trim(lines[n + 1]).starts_with('#'))) {
                    ++n;
                }
                ++n;
            }
            continue;
        }
        if (line.starts_with("#EXTGRP:")) {
            group.assign(trim(line.substr(8)));
            continue;
        }
        if (line.starts_with('#')) {
            continue;  // #EXTM3U and other players' directives
        }
        ImportRow row;
        if (pending) {
            row = std::move(pending->row);
            pending.reset();
        } else {
            row.line = lineNo;
        }
        row.station.address.assign(line);
        if (row.station.name.empty()) {
            row.station.name = nameFromAddress(line);
        }
        if (!row.hasCategory && !group.empty()) {
            row.station.category = group;
            row.hasCategory = true;
        }
        group.clear();
        result.rows.push_back(std::move(row));
    }
    if (pending) {
        result.errors.push_back({pending->line, "#EXTINF without an address after it"});
    }
    return result;
}

}  // namespace kinvo::ds
