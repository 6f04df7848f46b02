#include "dataserver/listformat/list_format.h"

#include "catalogue/catalogue_texts.h"
#include "catalogue/text_shift.h"
#include "dataserver/listformat/field_rules.h"

namespace kinvo::ds {

namespace {

bool appendHead(std::string& doc, std::string_view address, std::string_view info,
                std::string_view extra, std::string_view name, std::int64_t bandwidth) {
    std::optional<std::string> sent = sentAddress(address);
    if (!sent) {
        return false;
    }
    doc += texts::kEntryOpen;
    doc += *sent;
    doc += texts::kAddressEnd;
    doc += info;
    doc += texts::kInfoEnd;
    doc += extra;
    doc += texts::kExtraEnd;
    doc += EncodeText(name);
    doc += texts::kNameEnd;
    doc += std::to_string(bandwidth);
    doc += texts::kBandwidthEnd;
    return true;
}

}  // namespace

bool appendCatalogueEntry(std::string& doc, const ListEntry& e) {
    if (!appendHead(doc, e.address, e.info, e.extra, e.name, e.bandwidth)) {
        return false;
    }
    doc += e.timeText;
    doc += texts::kTimeEnd;
    doc += e.rating;
    doc += texts::kRatingEnd;
    doc += EncodeText(e.notes);
    doc += texts::kEntryClose;
    return true;
}

bool appendSearchEntry(std::string& doc, const SearchEntry& e) {
    if (!appendHead(doc, e.address, e.info, e.extra, e.name, e.bandwidth)) {
        return false;
    }
    doc += std::to_string(e.seconds);
    doc += texts::kEntryClose;
    return true;
}

}  // namespace kinvo::ds
