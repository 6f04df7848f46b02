#pragma once
// `kinvo-dataserver import`: reads playlist files and puts their stations into the catalogue in
// one transaction. A file with a row that cannot be read, or whose texts the browser could not
// read back, imports nothing at all; every such row is reported with its file and line.
//
// Error policy: file and row problems are results (ImportResult::errors), never exceptions;
// DbError from the store passes through (the caller reports it and nothing was written).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "dataserver/importers/read_result.h"
#include "dataserver/store/sqlite_handle.h"

namespace kinvo::ds {

struct ImportOptions {
    std::optional<std::string> category;  // every station goes here; else each row's own
    std::optional<std::string> base;      // where addresses without a host point
};

// An address that starts with "/" gets the base in front ("http://h:8639" + "/media/a.mov"); one
// with an empty host ("mms:///media/a.asf") gets the base's host and port ("mms://h:8639/...").
// Any other address stays. nullopt when the address needs a base and there is none.
std::optional<std::string> resolveAddress(const std::string& address,
                                          const std::optional<std::string>& base);

struct ImportError {
    std::string file;
    std::size_t line = 0;  // 0: the file as a whole
    std::string reason;
};

struct ImportResult {
    std::size_t stations = 0;  // imported (0 when there were errors)
    // Of those, how many came without a bandwidth (0 kbps): they are listed for every
    // connection class, so the importer tells the operator how many there are.
    std::size_t withoutBandwidth = 0;
    std::vector<ImportError> errors;
};

enum class PlaylistFormat { M3u, Pls, Csv };

// By the file name's ending (.m3u, .m3u8, .pls, .csv), else by the content's first line.
std::optional<PlaylistFormat> detectFormat(const std::string& fileName, std::string_view content);

// Reads one file's content and checks every row; the rows come back ready to store.
ReadResult checkPlaylist(PlaylistFormat format, std::string_view content,
                         const ImportOptions& options);

// Reads, checks and stores. Files larger than kMaxImportFileBytes are refused.
inline constexpr std::size_t kMaxImportFileBytes = 64u << 20;
ImportResult importFiles(Database& db, const std::vector<std::string>& files,
                         const ImportOptions& options);

}  // namespace kinvo::ds
