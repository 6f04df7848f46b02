#include "dataserver/importers/station_fields.h"

#include <charconv>

#include "dataserver/importers/lower_case.h"
#include "dataserver/importers/playlist_readers.h"

namespace kinvo::ds {

namespace {

constexpr std::int64_t kMaxBandwidth = 100'000'000;

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> yesNo(std::string_view text) {
    const std::string word = lower(text);
    if (word.empty() || word == "0" || word == "no" || word == "false") {
        return false;
    }
    if (word == "1" || word == "yes" || word == "true") {
        return true;
    }
    return std::nullopt;
}

}  // namespace

FieldResult setStationField(ImportRow& row, std::string_view key, std::string_view value) {
    StationInput& s = row.station;
    auto text = [&](std::string& target) {
        target.assign(value);
        return FieldResult{};
    };
    if (key == "name" || key == "tvg-name") {
        return text(s.name);
    }
    if (key == "address" || key == "url") {
        return text(s.address);
    }
    if (key == "category" || key == "group-title") {
        row.hasCategory = !value.empty();
        return text(s.category);
    }
    if (key == "info") {
        return text(s.info);
    }
    if (key == "extra") {
        return text(s.extra);
    }
    if (key == "rating") {
        return text(s.rating);
    }
    if (key == "notes") {
        return text(s.notes);
    }
    if (key == "tags") {
        return text(s.tags);
    }
    if (key == "logo" || key == "tvg-logo") {
        return text(s.logo);
    }
    if (key == "time") {
        s.timeText.assign(value);
        if (s.seconds == 0) {
            s.seconds = parseSeconds(value).value_or(0);
        }
        return {};
    }
    if (key == "seconds") {
        if (value.empty()) {
            return {};
        }
        auto n = wholeNumber(value);
        if (!n || *n < 0) {
            return {FieldSet::Done, "seconds \"" + std::string(value) + "\" is not a whole number"};
        }
        s.seconds = *n;
        return {};
    }
    if (key == "bandwidth") {
        if (value.empty()) {
            return {};
        }
        auto n = wholeNumber(value);
        if (!n || *n < 0 || *n > kMaxBandwidth) {
            return {FieldSet::Done,
                    "bandwidth \"" + std::string(value) + "\" is not a whole number of kbps"};
        }
        s.bandwidth = *n;
        return {};
    }
    if (key == "adult") {
        auto flag = yesNo(value);
        if (!flag) {
            return {FieldSet::Done, "adult \"" + std::string(value) + "\" is not yes or no"};
        }
        s.adult = *flag;
        return {};
    }
    return {FieldSet::Unknown, std::nullopt};
}

}  // namespace kinvo::ds
