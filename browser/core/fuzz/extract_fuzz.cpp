// extract over arbitrary documents, in both modes and under every adult setting. The first byte
// picks mode and setting; the rest is the document.
#include "browser/core/catalogue_parser.h"
#include "browser/core/sb_list.h"
#include "catalogue/station_record.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t choice = data[0];
    const std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
    kinvo::ExtractOptions options;
    options.mode = (choice & 1) != 0 ? kinvo::ExtractMode::Search : kinvo::ExtractMode::Catalogue;
    switch ((choice >> 1) % 4) {
        case 0:
            options.adultSettings = 1;
            break;
        case 1:
            options.adultSettings = 0;
            break;
        case 2:
            options.adultSettings = 2;
            break;
        default:
            options.adultSettings = std::nullopt;
            break;
    }
    kinvo::SBList lstStations;
    kinvo::SBList lstStations2;
    kinvo::extract(document, lstStations, lstStations2, options);

    // Every listed station's tag gives its fields back, and in catalogue mode the companion list
    // holds one item per station.
    for (int i = 0; i < lstStations.count(); ++i) {
        if (!kinvo::SplitStationTag(lstStations.tag(i))) {
            std::abort();
        }
    }
    if (options.mode == kinvo::ExtractMode::Catalogue &&
        lstStations.count() != lstStations2.count()) {
        std::abort();
    }
    if (options.adultSettings != 1 && options.adultSettings != 0 && lstStations.count() != 0) {
        std::abort();
    }
    return 0;
}
