#include "dataserver/server/form_text.h"

#include <cstdint>

namespace kinvo::ds {

namespace {

// Length of the valid UTF-8 sequence starting at `i` together with its code point, or 0 when
// the bytes there are not one.
std::size_t sequenceAt(std::string_view s, std::size_t i, std::uint32_t& cp) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    unsigned char lead = b(0);
    std::size_t len;
    std::uint32_t min;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b(k) & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

bool isControl(std::uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

bool isLineSpace(std::uint32_t cp) {
    return cp == '\t' || cp == '\r' || cp == '\n';
}

void appendHex(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

}  // namespace

std::optional<std::string> formTextProblem(std::string_view text, bool multiline) {
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        std::size_t len = sequenceAt(text, i, cp);
        if (len == 0) {
            return std::string("is not valid UTF-8");
        }
        if (isControl(cp) && !(multiline && isLineSpace(cp))) {
            return std::string(cp == 0 ? "holds a NUL byte" : "holds a control character");
        }
        i += len;
    }
    return std::nullopt;
}

std::string terminalText(std::string_view text, bool multiline, std::string_view indent) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        std::size_t len = sequenceAt(text, i, cp);
        if (len == 0) {
            appendHex(out, static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (cp == '\n' && multiline) {
            out += '\n';
            out += indent;
        } else if (cp == '\\') {
            out += "\\\\";
        } else if (cp == '\t' || cp == '\r' || cp == '\n') {
            out += cp == '\t' ? "\\t" : cp == '\r' ? "\\r" : "\\n";
        } else if (isControl(cp)) {
            // C1 controls are two bytes in UTF-8; each shows on its own.
            for (std::size_t k = 0; k < len; ++k) {
                appendHex(out, static_cast<unsigned char>(text[i + k]));
            }
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

}  // namespace kinvo::ds
