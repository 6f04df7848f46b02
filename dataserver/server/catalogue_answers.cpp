#include "dataserver/server/catalogue_answers.h"

#include <charconv>
#include <cmath>

#include "catalogue/request_texts.h"
#include "dataserver/listformat/field_rules.h"
#include "dataserver/listformat/list_format.h"
#include "dataserver/server/search_terms.h"
#include "dataserver/server/texts.h"

namespace kinvo::ds {

namespace {

std::optional<std::int64_t> number(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(text->data(), text->data() + text->size(), v);
    if (ec != std::errc() || p == text->data()) {
        return std::nullopt;
    }
    return v;
}

std::string document(const std::vector<StationListing>& stations, bool popular) {
    std::string doc(texts::kListHead);
    for (const StationListing& s : stations) {
        std::string name = s.name;
        if (popular) {
            name += " (" + std::to_string(s.starts) + ")";
            // The count changes the name's length and so its shift; a rare name whose shifted
            // form would then hold its field end is left out rather than sent broken.
            if (fieldProblem(Field::Name, name)) {
                continue;
            }
        }
        std::string rating = shownRating(s);
        std::string notes = shownNotes(s);
        appendCatalogueEntry(doc, ListEntry{s.address, s.info, s.extra, name, s.bandwidth,
                                            s.timeText, rating, notes});
    }
    doc += texts::kListTail;
    return doc;
}

}  // namespace

std::string listAnswer(Catalogue& catalogue, const Query& query, const ServerSettings& settings) {
    BandwidthFilter filter = bandwidthFilter(query);
    if (query.has(wire::kCategoryKey) && !query.value(wire::kCategoryKey)) {
        return document({}, false);  // longer than any category name
    }
    // A name the browser knows: the popular list (empty until stations are started) or a
    // category of the catalogue (empty when none of its stations fits the class).
    std::string name = query.value(wire::kCategoryKey).value_or("");
    if (name == wire::kMostPopularStations) {
        return document(catalogue.mostPopular(filter, settings.popularLimit), true);
    }
    if (!name.empty() && name.front() != '_') {
        if (auto id = catalogue.categoryId(name)) {
            return document(catalogue.category(*id, filter), false);
        }
    }
    // An empty name, one of the browser's own ("_..."), or one the catalogue lacks: the
    // browser's first start asks for its built-in default, and a later start for the category
    // it showed last, either of which a catalogue may not have. Answer the operator's default
    // category, else the first category with stations in the class, so that the first list is
    // empty only when the class has no station at all.
    bool popular = settings.defaultCategory == wire::kMostPopularStations;
    std::vector<StationListing> stations;
    if (popular) {
        stations = catalogue.mostPopular(filter, settings.popularLimit);
    } else if (auto id = catalogue.categoryId(settings.defaultCategory)) {
        stations = catalogue.category(*id, filter);
    }
    if (stations.empty()) {
        popular = false;
        if (auto first = catalogue.firstListedCategory(filter)) {
            stations = catalogue.category(*first, filter);
        }
    }
    return document(stations, popular);
}

std::string searchAnswer(Catalogue& catalogue, const Query& query, const ServerSettings& settings) {
    std::string doc(texts::kListHead);
    std::string match = ftsQueryFor(query.value(wire::kRequestKey).value_or(""));
    if (!match.empty()) {
        for (const StationListing& s :
             catalogue.search(match, bandwidthFilter(query), settings.searchLimit)) {
            appendSearchEntry(
                doc, SearchEntry{s.address, s.info, s.extra, s.name, s.bandwidth, s.seconds});
        }
    }
    doc += texts::kListTail;
    return doc;
}

std::optional<std::int64_t> startedStation(Catalogue& catalogue, const Query& query) {
    // The browser sends the decoded address, with "http://" put in front of one that had no
    // scheme, and without escaping: try it as sent, unescaped, and without that prefix.
    std::optional<std::string> sent = query.rest(wire::kAddressKey);
    if (!sent || sent->empty()) {
        return std::nullopt;
    }
    std::vector<std::string> candidates{*sent, percentDecode(*sent, false)};
    for (std::size_t i = 0, n = candidates.size(); i < n; ++i) {
        if (candidates[i].starts_with(wire::kScheme)) {
            candidates.push_back(candidates[i].substr(wire::kScheme.size()));
        }
    }
    for (const std::string& address : candidates) {
        if (auto id = catalogue.stationByAddress(address)) {
            return id;
        }
    }
    return std::nullopt;
}

bool mayBePopularList(const Query& query, const ServerSettings& settings) {
    return query.value(wire::kCategoryKey) == wire::kMostPopularStations ||
           settings.defaultCategory == wire::kMostPopularStations;
}

BandwidthFilter bandwidthFilter(const Query& query) {
    BandwidthFilter filter;
    if (auto min = number(query.value(wire::kMinBandwidthKey))) {
        filter.min = *min;
    }
    if (auto max = number(query.value(wire::kMaxBandwidthKey))) {
        filter.max = *max;
    }
    return filter;
}

std::string shownRating(const StationListing& s) {
    if (s.listenerRatingMean) {
        return std::to_string(static_cast<int>(std::floor(*s.listenerRatingMean + 0.5)));
    }
    if (!s.rating.empty()) {
        return s.rating;
    }
    return std::string(texts::kNone);
}

std::string shownNotes(const StationListing& s) {
    if (s.listenerNote) {
        return *s.listenerNote;
    }
    if (!s.notes.empty()) {
        return s.notes;
    }
    return std::string(texts::kNone);
}

int compareVersions(std::string_view a, std::string_view b) {
    auto part = [](std::string_view& s) -> std::optional<std::int64_t> {
        std::size_t dot = s.find('.');
        std::string_view p = s.substr(0, dot);
        s = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
        std::int64_t v = 0;
        auto [end, ec] = std::from_chars(p.data(), p.data() + p.size(), v);
        if (ec != std::errc() || end != p.data() + p.size()) {
            return std::nullopt;
        }
        return v;
    };
    while (!a.empty() || !b.empty()) {
        auto x = a.empty() ? std::optional<std::int64_t>(0) : part(a);
        auto y = b.empty() ? std::optional<std::int64_t>(0) : part(b);
        if (!x || !y) {
            return !x && !y ? 0 : (!x ? -1 : 1);
        }
        if (*x != *y) {
            return *x < *y ? -1 : 1;
        }
    }
    return 0;
}

std::string discoveryAnswer(const ServerSettings& settings) {
    return settings.host;
}

std::string versionAnswer(const Query& query, const ServerSettings& settings) {
    std::string v = query.value(wire::kVersionKey).value_or("");
    if (v.empty() || compareVersions(v, settings.minVersion) < 0) {
        return std::string(wire::kVersionRejected);
    }
    return std::string(wire::kVersionAccepted);
}

CatalogueRequest catalogueRequest(const Query& query) {
    if (query.value(wire::kStatsKey) == wire::kOn) {
        return CatalogueRequest::StationStart;
    }
    if (query.value(wire::kSearchKey) == wire::kOn) {
        return CatalogueRequest::Search;
    }
    std::string t1 = query.value(wire::kRequestKey).value_or("");
    if (t1 == wire::kCategoryNamesRequest) {
        return CatalogueRequest::CategoryNames;
    }
    if (t1 == wire::kListRequest) {
        return CatalogueRequest::List;
    }
    return CatalogueRequest::Unknown;
}

std::string categoryNamesAnswer(Catalogue& catalogue) {
    std::string names;
    for (const std::string& n : catalogue.categoryNames()) {
        if (!names.empty()) {
            names += wire::kCategorySeparator;
        }
        names += n;
    }
    return names;
}

}  // namespace kinvo::ds
