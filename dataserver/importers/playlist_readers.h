#pragma once
// Readers for the three playlist formats the importer takes. Each works on the whole file's
// bytes, never fails by exception, and reports what it cannot read as RowErrors.
//
// Extended M3U: "#EXTINF:<seconds> <attributes>,<title>" before each address. Attributes
// tvg-name (the name; else the title), group-title (the category), tvg-logo, and the
// catalogue's own info, extra, bandwidth (kbps), time, rating, notes, tags, adult.
// "#EXTGRP:<category>" also names the category. An address without "#EXTINF" is named after
// its last path segment.
//
// PLS: "[playlist]" then FileN, TitleN and LengthN keys; no categories.
//
// CSV (RFC 4180, comma separated, double quotes): a header row naming the columns, in any
// order and letter case: name and address (or url) are required; category, info, extra,
// bandwidth, time, seconds, rating, notes, tags, logo, adult are optional.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dataserver/importers/read_result.h"

namespace kinvo::ds {

ReadResult readM3u(std::string_view content);
ReadResult readPls(std::string_view content);
ReadResult readCsv(std::string_view content);

// Helpers shared by the readers.
// A play time given as seconds, "m:ss" or "h:mm:ss"; nullopt for anything else.
std::optional<std::int64_t> parseSeconds(std::string_view text);
// "m:ss" (or "h:mm:ss" from an hour on) for a positive number of seconds.
std::string formatSeconds(std::int64_t seconds);
// The station name used when a file gives none: the address's last path segment.
std::string nameFromAddress(std::string_view address);

}  // namespace kinvo::ds
