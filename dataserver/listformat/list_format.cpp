#include "list_format.h"

#include "text_shift.h"

namespace kinvo::ds {

namespace {

void appendHead(std::string& doc, std::string_view address, std::string_view info,
                std::string_view extra, std::string_view name, std::int64_t bandwidth) {
    doc += "<a href=\"";
    doc += EncodeText(address);
    doc += "\">";
    doc += info;
    doc += "~~";
    doc += extra;
    doc += "@@";
    doc += EncodeText(name);
    doc += "##";
    doc += std::to_string(bandwidth);
    doc += "%%";
}

}  // namespace

void appendCatalogueEntry(std::string& doc, const ListEntry& e) {
    appendHead(doc, e.address, e.info, e.extra, e.name, e.bandwidth);
    doc += e.timeText;
    doc += "!!";
    doc += e.rating;
    doc += "**";
    doc += EncodeText(e.notes);
    doc += "</a><br>\r\n";
}

void appendSearchEntry(std::string& doc, const SearchEntry& e) {
    appendHead(doc, e.address, e.info, e.extra, e.name, e.bandwidth);
    doc += std::to_string(e.seconds);
    doc += "</a><br>\r\n";
}

}  // namespace kinvo::ds
