#include "dataserver/tests/list_reader.h"

#include "catalogue/capitals.h"
#include "catalogue/catalogue_entries.h"
#include "catalogue/station_record.h"
#include "catalogue/text_shift.h"

namespace kinvo::ds::test {

std::string ReadEntry::decodedAddress() const {
    return DecodeText(address, true);
}

std::string ReadEntry::tag() const {
    return info + "!!!" + extra + "###" + address + "%%%" + time;
}

std::vector<ReadEntry> readList(const std::string& document, bool searchMode) {
    std::vector<ReadEntry> entries;
    forEachCatalogueEntry(
        document, searchMode ? ExtractMode::Search : ExtractMode::Catalogue,
        [&entries](const StationRecord& s) {
            entries.push_back(ReadEntry{false, s.address, s.infoText, s.extraText, s.name,
                                        s.bandwidth, s.timeText, s.rating, s.notes});
            return true;
        });
    // The browser skips an entry it cannot cut; one broken entry stands for all it skipped.
    std::size_t cuts = 0;
    for (std::size_t at = findInCapitals(document, "<A HREF"); at != std::string::npos;
         at = findInCapitals(document, "<A HREF", at + 1)) {
        ++cuts;
    }
    if (cuts != entries.size()) {
        ReadEntry skipped;
        skipped.broken = true;
        skipped.address = std::to_string(cuts - entries.size()) + " entries the browser skips";
        entries.push_back(std::move(skipped));
    }
    return entries;
}

}  // namespace kinvo::ds::test
