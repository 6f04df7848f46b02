#include "browser/core/catalogue_parser.h"

#include "browser/core/sb_list.h"
#include "browser/core/texts.h"

namespace kinvo {

void extract(std::string_view document, SBList& lstStations, SBList& lstStations2,
             const ExtractOptions& options) {
    const auto letEventsRun = [&options] {
        if (options.letEventsRun) {
            options.letEventsRun();
        }
    };
    if (options.mode == ExtractMode::Catalogue) {
        lstStations2.clear();
        lstStations.clear();
    }
    forEachCatalogueEntry(document, options.mode, [&](const StationRecord& station) {
        if (options.stopRequested != nullptr && *options.stopRequested) {
            return false;
        }
        letEventsRun();
        if (passesAdultFilter(station.name, options.adultSettings)) {
            if (options.mode == ExtractMode::Catalogue) {
                lstStations.add(station.name, StationTag(station), station.bandwidth);
                lstStations2.add(
                    station.address,
                    std::string(station.notes).append(texts::kNotesRating).append(station.rating),
                    0);
            } else if (lstStations.findInTags(station.address) == -1) {
                lstStations.add(station.name, StationTag(station), station.bandwidth);
            }
        }
        letEventsRun();
        return true;
    });
}

}  // namespace kinvo
