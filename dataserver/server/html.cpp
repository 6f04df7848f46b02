#include "dataserver/server/html.h"

#include "dataserver/server/texts.h"

namespace kinvo::ds {

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string fillTemplate(std::string_view templ, std::initializer_list<Fill> fills) {
    std::string out;
    out.reserve(templ.size() + 256);
    std::size_t i = 0;
    while (i < templ.size()) {
        std::size_t open = templ.find('{', i);
        if (open == std::string_view::npos) {
            out += templ.substr(i);
            break;
        }
        out += templ.substr(i, open - i);
        std::size_t close = templ.find('}', open);
        const Fill* hit = nullptr;
        if (close != std::string_view::npos) {
            std::string_view key = templ.substr(open + 1, close - open - 1);
            for (const Fill& f : fills) {
                if (f.key == key) {
                    hit = &f;
                }
            }
        }
        if (hit) {
            out += hit->raw ? std::string(hit->value) : htmlEscape(hit->value);
            i = close + 1;
        } else {
            out += '{';
            i = open + 1;
        }
    }
    return out;
}

std::string framePage(std::string_view title, std::string_view bodyHtml) {
    return fillTemplate(texts::kPageFrame, {{"title", title}, {"body", bodyHtml, true}});
}

}  // namespace kinvo::ds
