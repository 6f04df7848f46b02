#include "dataserver/server/http_head.h"

#include <algorithm>
#include <charconv>

namespace kinvo::ds {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

// Whether a comma-separated header value lists `token`.
bool listsToken(std::string_view value, std::string_view token) {
    while (!value.empty()) {
        std::size_t comma = value.find(',');
        std::string_view item = value.substr(0, comma);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
            item.remove_prefix(1);
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.remove_suffix(1);
        }
        if (equalsNoCase(item, token)) {
            return true;
        }
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    }
    return false;
}

bool isTokenChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7f &&
           std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

HeadResult refused(int status) {
    HeadResult r;
    r.state = HeadResult::State::Refused;
    r.status = status;
    return r;
}

// Lines end in LF, with or without CR before it.
std::string_view withoutCr(std::string_view line) {
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

}  // namespace

std::string_view RequestHead::header(std::string_view name) const {
    for (const auto& [n, v] : headers) {
        if (equalsNoCase(n, name)) {
            return v;
        }
    }
    return {};
}

HeadResult readHead(std::string_view received) {
    std::size_t start = 0;
    while (start < received.size() && (received[start] == '\r' || received[start] == '\n')) {
        ++start;
    }
    if (start > kMaxHeadBytes) {
        return refused(400);  // blank lines without end are no request
    }
    std::string_view rest = received.substr(start);
    std::size_t lineEnd = rest.find('\n');
    if (lineEnd == std::string_view::npos) {
        return rest.size() > kMaxRequestLine ? refused(414) : HeadResult{};
    }
    std::string_view requestLine = withoutCr(rest.substr(0, lineEnd));
    if (requestLine.size() > kMaxRequestLine) {
        return refused(414);
    }
    // The head's end, or the bounds already passed.
    std::size_t lines = 0;
    std::size_t at = lineEnd + 1;
    std::size_t headEnd = std::string_view::npos;
    while (at < rest.size()) {
        std::size_t next = rest.find('\n', at);
        std::string_view line =
            withoutCr(rest.substr(at, next == std::string_view::npos ? next : next - at));
        if (next == std::string_view::npos) {
            break;
        }
        if (line.empty()) {
            headEnd = next + 1;
            break;
        }
        if (++lines > kMaxHeaderLines) {
            return refused(431);
        }
        at = next + 1;
    }
    if (headEnd == std::string_view::npos) {
        return rest.size() - lineEnd > kMaxHeadBytes ? refused(431) : HeadResult{};
    }
    if (headEnd - lineEnd > kMaxHeadBytes) {
        return refused(431);
    }

    HeadResult r;
    RequestHead& h = r.head;
    std::size_t sp1 = requestLine.find(' ');
    std::size_t sp2 = requestLine.rfind(' ');
    if (sp1 == std::string_view::npos || sp2 == sp1) {
        return refused(400);
    }
    h.method = requestLine.substr(0, sp1);
    std::string_view target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    std::string_view version = requestLine.substr(sp2 + 1);
    if (h.method.empty() || !std::all_of(h.method.begin(), h.method.end(), isTokenChar) ||
        target.empty() || target.find_first_of(" \t") != std::string_view::npos ||
        !version.starts_with("HTTP/")) {
        return refused(400);
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        return refused(505);
    }
    h.http10 = version == "HTTP/1.0";
    bool firstMark = true;
    for (char c : target) {
        if (c == '?' && !std::exchange(firstMark, false)) {
            h.target += "%3F";
        } else {
            h.target += c;
        }
    }

    bool sawLength = false;
    std::string_view fields = rest.substr(lineEnd + 1, headEnd - lineEnd - 1);
    while (!fields.empty()) {
        std::size_t next = fields.find('\n');
        std::string_view line = withoutCr(fields.substr(0, next));
        fields = fields.substr(next + 1);
        if (line.empty()) {
            break;
        }
        std::size_t colon = line.find(':');
        std::string_view name = line.substr(0, colon);
        if (colon == std::string_view::npos || name.empty() ||
            !std::all_of(name.begin(), name.end(), isTokenChar)) {
            return refused(400);  // also a folded line or a blank before the colon
        }
        std::string_view value = trimmed(line.substr(colon + 1));
        if (equalsNoCase(name, "Content-Length")) {
            std::size_t n = 0;
            auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (sawLength || value.empty() || ec != std::errc() ||
                p != value.data() + value.size()) {
                return refused(400);
            }
            sawLength = true;
            h.contentLength = n;
        } else if (equalsNoCase(name, "Transfer-Encoding")) {
            return refused(501);
        }
        h.headers.emplace_back(name, value);
    }
    std::string_view connection = h.header("Connection");
    h.keepAlive =
        h.http10 ? listsToken(connection, "keep-alive") : !listsToken(connection, "close");
    h.expectsContinue = equalsNoCase(h.header("Expect"), "100-continue");
    bool form = listsToken(h.header("Content-Type").substr(0, h.header("Content-Type").find(';')),
                           "application/x-www-form-urlencoded");
    if (h.contentLength > (form ? kMaxFormBody : kMaxBody)) {
        return refused(413);
    }
    r.state = HeadResult::State::Complete;
    r.headBytes = start + headEnd;
    return r;
}

}  // namespace kinvo::ds
