#include "dataserver/server/query.h"

namespace kinvo::ds {

namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string percentDecode(std::string_view text, bool plusIsBlank) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+' && plusIsBlank) {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                   hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

Query Query::parse(std::string_view raw) {
    Query q;
    q.raw_.assign(raw);
    std::size_t pos = 0;
    while (pos <= q.raw_.size() && q.pairs_.size() < kMaxParams) {
        std::size_t end = q.raw_.find('&', pos);
        if (end == std::string::npos) {
            end = q.raw_.size();
        }
        std::size_t eq = q.raw_.find('=', pos);
        Pair p;
        p.name = pos;
        if (eq != std::string::npos && eq < end) {
            p.nameSize = eq - pos;
            p.value = eq + 1;
            p.valueSize = end - eq - 1;
            p.hasValue = true;
        } else {
            p.nameSize = end - pos;
            p.value = end;
            p.valueSize = 0;
        }
        if (p.nameSize > 0) {
            q.pairs_.push_back(p);
        }
        if (end == q.raw_.size()) {
            break;
        }
        pos = end + 1;
    }
    return q;
}

const Query::Pair* Query::find(std::string_view name) const {
    for (const Pair& p : pairs_) {
        if (sameNoCase(std::string_view(raw_).substr(p.name, p.nameSize), name)) {
            return &p;
        }
    }
    return nullptr;
}

bool Query::has(std::string_view name) const {
    return find(name) != nullptr;
}

std::optional<std::string> Query::value(std::string_view name) const {
    const Pair* p = find(name);
    if (!p || p->valueSize > kMaxValue) {
        return std::nullopt;
    }
    return percentDecode(std::string_view(raw_).substr(p->value, p->valueSize), true);
}

std::optional<std::string> Query::rest(std::string_view name) const {
    const Pair* p = find(name);
    if (!p || raw_.size() - p->value > kMaxValue) {
        return std::nullopt;
    }
    if (!p->hasValue) {
        return std::string();
    }
    return raw_.substr(p->value);
}

}  // namespace kinvo::ds
