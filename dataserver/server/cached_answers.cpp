#include "dataserver/server/cached_answers.h"

#include "catalogue/request_texts.h"
#include "dataserver/server/catalogue_answers.h"
#include "dataserver/server/search_terms.h"
#include "dataserver/server/texts.h"

namespace kinvo::ds {

namespace {

void appendClass(std::string& key, const Query& query) {
    BandwidthFilter filter = bandwidthFilter(query);
    key += '\n';
    key += std::to_string(filter.min);
    key += '\n';
    key += std::to_string(filter.max);
}

SharedBody share(std::string body) {
    return std::make_shared<const std::string>(std::move(body));
}

}  // namespace

CachedAnswers::CachedAnswers(ConnectionPool& pool, StartCounter& starts, ServerSettings settings)
    : pool_(pool),
      starts_(starts),
      settings_(std::move(settings)),
      lists_(kListEntries, kListBytes),
      searches_(kSearchEntries, kSearchBytes),
      empty_(share(std::string())),
      counted_(share(std::string(texts::kStartCounted))) {}

SharedBody CachedAnswers::answer(const Query& query, std::int64_t now) {
    switch (catalogueRequest(query)) {
        case CatalogueRequest::StationStart:
            return start(query, now);
        case CatalogueRequest::Search:
            return search(query);
        case CatalogueRequest::CategoryNames:
            return names();
        case CatalogueRequest::List:
            return list(query);
        case CatalogueRequest::Unknown:
            break;
    }
    return empty_;
}

SharedBody CachedAnswers::start(const Query& query, std::int64_t now) {
    std::optional<std::int64_t> id = startedStation(*pool_.acquire(), query);
    if (!id) {
        return empty_;
    }
    starts_.count(*id, now);
    return counted_;
}

SharedBody CachedAnswers::names() {
    const std::string key = "names";
    auto db = pool_.acquire();
    CatalogueVersion version{db->version().generation, 0};
    if (SharedBody kept = lists_.find(key, version)) {
        return kept;
    }
    SharedBody body = share(categoryNamesAnswer(*db));
    lists_.store(key, version, body);
    return body;
}

SharedBody CachedAnswers::list(const Query& query) {
    // The name as asked: absent, present without a usable value, or its value.
    std::string key = "list\n";
    if (auto name = query.value(wire::kCategoryKey)) {
        key += 'v';
        key += *name;
    } else {
        key += query.has(wire::kCategoryKey) ? 'p' : 'a';
    }
    appendClass(key, query);

    bool popular = mayBePopularList(query, settings_);
    // Starts counted but not yet written go in first.
    bool current = !popular || !starts_.hasPending() || starts_.flushPending();
    auto db = pool_.acquire();
    CatalogueVersion version = db->version();
    if (!popular) {
        version.starts = 0;
    }
    if (SharedBody kept = lists_.find(key, version)) {
        return kept;
    }
    if (!current) {
        if (SharedBody kept = lists_.findOfGeneration(key, version)) {
            return kept;
        }
    }
    SharedBody body = share(listAnswer(*db, query, settings_));
    lists_.store(key, version, body);
    return body;
}

SharedBody CachedAnswers::search(const Query& query) {
    std::string key = ftsQueryFor(query.value(wire::kRequestKey).value_or(""));
    appendClass(key, query);
    auto db = pool_.acquire();
    CatalogueVersion version{db->version().generation, 0};
    if (SharedBody kept = searches_.find(key, version)) {
        return kept;
    }
    SharedBody body = share(searchAnswer(*db, query, settings_));
    searches_.store(key, version, body);
    return body;
}

}  // namespace kinvo::ds
