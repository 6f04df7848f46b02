#include "list_reader.h"

#include <cctype>

#include "text_shift.h"

namespace kinvo::ds::test {

namespace {

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// Takes the text before `marker` and drops through it; false when the marker is missing.
bool cut(std::string& rest, const std::string& marker, std::string& field) {
    std::size_t at = rest.find(marker);
    if (at == std::string::npos) {
        return false;
    }
    field = rest.substr(0, at);
    rest.erase(0, at + marker.size());
    return true;
}

}  // namespace

std::string ReadEntry::decodedAddress() const {
    return DecodeText(address, true);
}

std::string ReadEntry::tag() const {
    return info + "!!!" + extra + "###" + address + "%%%" + time;
}

std::vector<ReadEntry> readList(const std::string& document, bool searchMode) {
    std::vector<ReadEntry> entries;
    std::string up = upper(document);
    std::vector<std::size_t> starts;
    for (std::size_t at = up.find("<A HREF"); at != std::string::npos;
         at = up.find("<A HREF", at + 1)) {
        starts.push_back(at);
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        std::size_t end = i + 1 < starts.size() ? starts[i + 1] : document.size();
        std::string rest = document.substr(starts[i] + 7, end - starts[i] - 7);
        ReadEntry e;
        std::string ignored;
        std::string f4;
        bool ok = cut(rest, "\"", ignored);
        std::size_t quoteGt = rest.find("\">");
        ok = ok && quoteGt != std::string::npos;
        if (ok) {
            e.address = rest.substr(0, quoteGt);
        }
        ok = ok && cut(rest, ">", ignored) && cut(rest, "~~", e.info) && cut(rest, "@@", e.extra) &&
             cut(rest, "##", e.name) && cut(rest, "%%", f4);
        if (ok && searchMode) {
            ok = cut(rest, "<", e.time);
        } else if (ok) {
            ok = cut(rest, "!!", e.time) && cut(rest, "**", e.rating);
            std::size_t close = upper(rest).find("</A");
            ok = ok && close != std::string::npos;
            if (ok) {
                e.notes = DecodeText(rest.substr(0, close), false);
            }
        }
        e.broken = !ok;
        e.name = DecodeText(e.name, false);
        if (e.info == "0") {
            e.info = "Unknown";
        }
        if (e.extra == "0") {
            e.extra.clear();
        }
        std::size_t digits = 0;
        while (digits < f4.size() && std::isdigit(static_cast<unsigned char>(f4[digits]))) {
            ++digits;
        }
        e.bandwidth = digits ? std::stoll(f4.substr(0, digits)) : 0;
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace kinvo::ds::test
