#include "catalogue/catalogue_entries.h"

#include "catalogue/capitals.h"
#include "catalogue/catalogue_texts.h"
#include "catalogue/text_shift.h"

#include <limits>

namespace kinvo {
namespace {

// Cuts the piece before terminator off the front of rest, dropping the terminator too.
bool cut(std::string_view& rest, std::string_view terminator, std::string_view& piece) {
    const std::size_t at = rest.find(terminator);
    if (at == std::string_view::npos) {
        return false;
    }
    piece = rest.substr(0, at);
    rest.remove_prefix(at + terminator.size());
    return true;
}

std::optional<StationRecord> readEntry(std::string_view entry, ExtractMode mode) {
    const std::size_t quote = entry.find('"');
    if (quote == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = entry.substr(quote + 1);
    std::string_view address, f1, f2, f3, f4, f5, f6, f7;
    // The address ends at the `">` that closes the tag. A shifted address may well hold a ">"
    // of its own (a "9" moved by 5), so the fields start after that closing `">`, not after the
    // address's first ">".
    if (!cut(rest, texts::kAddressEnd, address) || !cut(rest, texts::kInfoEnd, f1) ||
        !cut(rest, texts::kExtraEnd, f2) || !cut(rest, texts::kNameEnd, f3) ||
        !cut(rest, texts::kBandwidthEnd, f4)) {
        return std::nullopt;
    }
    if (mode == ExtractMode::Catalogue) {
        if (!cut(rest, texts::kTimeEnd, f5) || !cut(rest, texts::kRatingEnd, f6)) {
            return std::nullopt;
        }
        const std::size_t close = findInCapitals(rest, "</A");
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        f7 = rest.substr(0, close);
    } else if (!cut(rest, "<", f5)) {
        return std::nullopt;
    }

    StationRecord station;
    station.address = address;
    station.infoText = f1 == "0" ? texts::kUnknown : f1;
    station.extraText = f2 == "0" ? std::string_view() : f2;
    station.name = DecodeText(f3, false);
    station.bandwidth = leadingNumber(f4);
    station.timeText = f5;
    station.rating = f6;
    station.notes = mode == ExtractMode::Catalogue ? DecodeText(f7, false) : std::string();
    return station;
}

}  // namespace

std::int64_t leadingNumber(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        const int digit = field[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

void forEachCatalogueEntry(std::string_view document, ExtractMode mode,
                           const std::function<bool(const StationRecord&)>& visit) {
    constexpr std::string_view kEntryStart = "<A HREF";
    std::size_t start = findInCapitals(document, kEntryStart);
    while (start != std::string_view::npos) {
        const std::size_t body = start + kEntryStart.size();
        const std::size_t next = findInCapitals(document, kEntryStart, body);
        const std::string_view entry = document.substr(
            body, next == std::string_view::npos ? std::string_view::npos : next - body);
        if (const std::optional<StationRecord> station = readEntry(entry, mode)) {
            if (!visit(*station)) {
                return;
            }
        }
        start = next;
    }
}

bool passesAdultFilter(std::string_view name, std::optional<std::int64_t> adultSettings) {
    if (adultSettings == 1) {
        return true;
    }
    return adultSettings == 0 &&
           findInCapitals(name, texts::kAdultMarker) == std::string_view::npos;
}

}  // namespace kinvo
