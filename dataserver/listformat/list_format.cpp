#include "dataserver/listformat/list_format.h"

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
    doc += "<a href=\"";
    doc += *sent;
    doc += "\">";
    doc += info;
    doc += "~~";
    doc += extra;
    doc += "@@";
    doc += EncodeText(name);
    doc += "##";
    doc += std::to_string(bandwidth);
    doc += "%%";
    return true;
}

}  // namespace

bool appendCatalogueEntry(std::string& doc, const ListEntry& e) {
    if (!appendHead(doc, e.address, e.info, e.extra, e.name, e.bandwidth)) {
        return false;
    }
    doc += e.timeText;
    doc += "!!";
    doc += e.rating;
    doc += "**";
    doc += EncodeText(e.notes);
    doc += "</a><br>\r\n";
    return true;
}

bool appendSearchEntry(std::string& doc, const SearchEntry& e) {
    if (!appendHead(doc, e.address, e.info, e.extra, e.name, e.bandwidth)) {
        return false;
    }
    doc += std::to_string(e.seconds);
    doc += "</a><br>\r\n";
    return true;
}

}  // namespace kinvo::ds
