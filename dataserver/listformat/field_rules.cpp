#include "dataserver/listformat/field_rules.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "catalogue/catalogue_texts.h"
#include "catalogue/request_texts.h"
#include "catalogue/text_shift.h"

namespace kinvo::ds {

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

// The browser finds a field's end at the first occurrence of its marker in field + marker.
bool endsCleanly(std::string_view text, std::string_view marker, bool ignoreCase = false) {
    std::string joined(text);
    joined += marker;
    std::size_t at = ignoreCase ? upper(joined).find(upper(marker)) : joined.find(marker);
    return at == text.size();
}

bool containsNoCase(std::string_view text, std::string_view what) {
    return upper(text).find(upper(what)) != std::string::npos;
}

bool hasControlBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

// The shift drops a byte that would leave 0..255; such a text cannot be sent.
bool shiftCarries(std::string_view text) {
    return DecodeText(EncodeText(text), false) == text;
}

std::optional<std::string> markerProblem(std::string_view sent, std::string_view marker,
                                         bool ignoreCase = false) {
    if (endsCleanly(sent, marker, ignoreCase)) {
        return std::nullopt;
    }
    std::string why = "contains or ends in part of its field end \"";
    why += marker;
    why += "\"";
    return why;
}

bool isRatingNumber(std::string_view text) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0 && value <= 5;
}

bool readableAddress(const std::string& sent) {
    return sent.find('>') == std::string::npos && endsCleanly(sent, "%%%") &&
           !containsNoCase(sent, "<a href");
}

}  // namespace

std::optional<std::string> sentAddress(std::string_view address) {
    if (!shiftCarries(address)) {
        return std::nullopt;
    }
    std::string sent = EncodeText(address);
    if (readableAddress(sent)) {
        return sent;
    }
    if (address.starts_with(wire::kScheme)) {
        std::string_view bare = address.substr(wire::kScheme.size());
        // Without a scheme of its own: the browser adds "http://" only when "://" is missing.
        if (bare.find("://") == std::string_view::npos && shiftCarries(bare)) {
            sent = EncodeText(bare);
            if (readableAddress(sent)) {
                return sent;
            }
        }
    }
    return std::nullopt;
}

std::size_t maxLength(Field field) {
    switch (field) {
        case Field::Category:
            return 100;
        case Field::Address:
        case Field::Logo:
            return 2000;
        case Field::Info:
        case Field::Extra:
        case Field::Name:
            return 255;
        case Field::TimeText:
        case Field::Rating:
            return 32;
        case Field::Notes:
            return 2000;
        case Field::Tags:
            return 1000;
    }
    return 0;
}

bool isReservedCategory(std::string_view name) {
    return containsNoCase(name, wire::kFavoritesMarker) || name == wire::kMostPopularStations ||
           name == wire::kVideoSearch;
}

std::optional<std::string> fieldProblem(Field field, std::string_view text) {
    if (text.size() > maxLength(field)) {
        return "is longer than " + std::to_string(maxLength(field)) + " bytes";
    }
    if (hasControlBytes(text)) {
        return std::string("contains a control character");
    }
    if (containsNoCase(text, "<a href")) {
        return std::string("contains \"<a href\", which starts a new entry");
    }
    switch (field) {
        case Field::Category:
            if (text.empty()) {
                return std::string("is empty");
            }
            if (text.front() == '_') {
                return std::string(
                    "starts with \"_\"; the browser asks for such a category by an empty name");
            }
            if (isReservedCategory(text)) {
                return std::string("is a name the browser lists by itself");
            }
            if (text.find_first_of("|&%#+") != std::string_view::npos) {
                return std::string(
                    "contains one of | & % # +, which the browser cannot send in a request");
            }
            return std::nullopt;
        case Field::Address:
            if (text.empty()) {
                return std::string("is empty");
            }
            if (!shiftCarries(text)) {
                return std::string("has a byte the shift cannot carry");
            }
            // The player page writes the decoded address into an HTML attribute.
            if (text.find("\">") != std::string_view::npos) {
                return std::string("contains a double quote followed by \">\"");
            }
            if (!sentAddress(text)) {
                return std::string(
                    "would hold \">\" or \"%%%\" once shifted, with or without its http://, "
                    "so the browser would misread the entry (a slightly longer or shorter "
                    "address will do)");
            }
            return std::nullopt;
        case Field::Info:
            if (text.find("###") != std::string_view::npos ||
                text.find("%%%") != std::string_view::npos) {
                return std::string("contains \"###\" or \"%%%\", which the station's tag uses");
            }
            return markerProblem(text, texts::kInfoEnd);
        case Field::Extra:
            if (!endsCleanly(text, "###") || text.find("%%%") != std::string_view::npos) {
                return std::string(
                    "contains or ends in part of \"###\", or contains \"%%%\", which the "
                    "station's tag uses");
            }
            return markerProblem(text, texts::kExtraEnd);
        case Field::Name: {
            if (text.empty()) {
                return std::string("is empty");
            }
            if (!shiftCarries(text)) {
                return std::string("has a byte the shift cannot carry");
            }
            std::string sent = EncodeText(text);
            if (containsNoCase(sent, "<a href")) {
                return std::string("contains \"<a href\" as sent");
            }
            return markerProblem(sent, texts::kNameEnd);
        }
        case Field::TimeText:
            return markerProblem(text, texts::kTimeEnd);
        case Field::Rating:
            if (!text.empty() && !isRatingNumber(text)) {
                return std::string("is not a number from 0 to 5");
            }
            return std::nullopt;
        case Field::Notes: {
            if (!shiftCarries(text)) {
                return std::string("has a byte the shift cannot carry");
            }
            if (!endsCleanly(text, "||")) {
                return std::string("contains or ends in part of \"||\", which ends the notes");
            }
            std::string sent = EncodeText(text);
            if (containsNoCase(sent, "<a href")) {
                return std::string("contains \"<a href\" as sent");
            }
            return markerProblem(sent, "</a", true);
        }
        case Field::Tags:
        case Field::Logo:
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace kinvo::ds
