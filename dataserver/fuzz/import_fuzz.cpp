// Arbitrary playlist files through the three readers and the row checks. The first byte picks
// the format. Whatever a check accepts must be writable as a list entry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dataserver/importers/importer.h"
#include "dataserver/listformat/list_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    using kinvo::ds::PlaylistFormat;
    PlaylistFormat format = data[0] % 3 == 0   ? PlaylistFormat::M3u
                            : data[0] % 3 == 1 ? PlaylistFormat::Pls
                                               : PlaylistFormat::Csv;
    std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);
    kinvo::ds::ImportOptions options;
    options.category = std::string("Fuzz");
    options.base = std::string("http://127.0.0.1:8639");
    kinvo::ds::ReadResult r = kinvo::ds::checkPlaylist(format, content, options);
    for (const auto& row : r.rows) {
        const auto& s = row.station;
        std::string doc;
        if (!kinvo::ds::appendCatalogueEntry(doc, {s.address, s.info, s.extra, s.name, s.bandwidth,
                                                   s.timeText, s.rating, s.notes})) {
            __builtin_trap();  // checked rows always have a sendable address
        }
    }
    return 0;
}
