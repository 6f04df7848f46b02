#pragma once
// Filling the page templates of texts.h. Every filled-in value is HTML-escaped here, so a
// station name or a form field can never become markup.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace kinvo::ds {

std::string htmlEscape(std::string_view text);

// Replaces each "{key}" of `templ` by its escaped value ("{key}" left as is when not given).
// Values given through `raw` go in unescaped: only for HTML this server built itself.
struct Fill {
    std::string_view key;
    std::string_view value;
    bool raw = false;
};
std::string fillTemplate(std::string_view templ, std::initializer_list<Fill> fills);

// A whole vendor page: the frame of texts.h around `bodyHtml`.
std::string framePage(std::string_view title, std::string_view bodyHtml);

}  // namespace kinvo::ds
