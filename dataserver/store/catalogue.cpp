#include "dataserver/store/catalogue.h"

#include <string>
#include <utility>

namespace kinvo::ds {

namespace {

// Every listing reads the same columns, in the order collect() expects.
constexpr std::string_view kListingColumns = R"sql(
SELECT s.id, c.name, s.address, s.info, s.extra, s.name, s.bandwidth, s.time_text, s.seconds,
       s.rating, s.notes, s.start_count,
       (SELECT COUNT(*) FROM ratings r WHERE r.station_id = s.id),
       (SELECT AVG(r.rating) FROM ratings r WHERE r.station_id = s.id),
       (SELECT r.notes FROM ratings r WHERE r.station_id = s.id AND r.notes <> ''
         ORDER BY r.id DESC LIMIT 1)
FROM stations s JOIN categories c ON c.id = s.category_id
)sql";

// A station of unknown bandwidth (stored as 0: playlists rarely say) passes every connection
// class; any other passes when it lies within the class's inclusive bounds, the parameters
// numbered `min` and `max`.
std::string inClass(int min, int max) {
    return "(s.bandwidth = 0 OR s.bandwidth BETWEEN ?" + std::to_string(min) + " AND ?" +
           std::to_string(max) + ")";
}

std::string listing(std::string_view rest) {
    std::string sql(kListingColumns);
    sql += rest;
    return sql;
}

}  // namespace

Catalogue::Catalogue(Database db)
    : db_(std::move(db)),
      categoryNames_(db_.prepare("SELECT name FROM categories ORDER BY position, id")),
      categoryId_(db_.prepare("SELECT id FROM categories WHERE name = ?1")),
      firstListed_(db_.prepare("SELECT c.id FROM categories c WHERE EXISTS (SELECT 1 FROM "
                               "stations s WHERE s.category_id = c.id AND " +
                               inClass(1, 2) + ") ORDER BY c.position, c.id LIMIT 1")),
      stationCount_(db_.prepare("SELECT COUNT(*) FROM stations")),
      category_(db_.prepare(
          listing("WHERE s.category_id = ?1 AND " + inClass(2, 3) + " ORDER BY s.position, s.id"))),
      popular_(db_.prepare(listing("WHERE s.start_count > 0 AND " + inClass(1, 2) +
                                   " ORDER BY s.start_count DESC, s.name, s.id LIMIT ?3"))),
      version_(db_.prepare("SELECT generation, starts FROM catalogue_state WHERE id = 1")),
      // The best `limit` hits in the class are chosen from the full-text index and the
      // stations' own columns alone; only they get the listing's ratings and notes.
      search_(db_.prepare("WITH hits AS (SELECT s.id AS id, f.rank AS rank "
                          "FROM station_search f JOIN stations s ON s.id = f.rowid "
                          "WHERE station_search MATCH ?1 AND " +
                          inClass(2, 3) + " ORDER BY f.rank, s.id LIMIT ?4) " +
                          listing("JOIN hits h ON h.id = s.id ORDER BY h.rank, s.id"))),
      byAddress_(db_.prepare("SELECT id FROM stations WHERE address = ?1")),
      byId_(db_.prepare(listing("WHERE s.id = ?1"))),
      byName_(db_.prepare(listing("WHERE s.name = ?1 ORDER BY s.id LIMIT ?2"))),
      byPlusName_(db_.prepare(listing("WHERE replace(s.name, ' ', '+') = ?1 "
                                      "ORDER BY s.id LIMIT ?2"))),
      byNamePrefix_(db_.prepare(listing("WHERE substr(s.name, 1, length(CAST(?1 AS BLOB))) = ?1 "
                                        "ORDER BY s.name, s.id LIMIT ?2"))),
      insertStart_(db_.prepare("INSERT INTO starts(station_id, started_at) VALUES (?1, ?2)")),
      insertRating_(db_.prepare(
          "INSERT INTO ratings(station_id, rating, notes, rated_at) VALUES (?1, ?2, ?3, ?4)")),
      insertMessage_(db_.prepare("INSERT INTO support_messages(name, email, subject, body, "
                                 "remote, sent_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6)")),
      messages_(db_.prepare("SELECT id, name, email, subject, body, remote, sent_at "
                            "FROM support_messages ORDER BY id DESC LIMIT ?1")) {}

std::vector<StationListing> Catalogue::collect(Statement& stmt) {
    std::vector<StationListing> out;
    while (stmt.step()) {
        StationListing s;
        s.id = stmt.integer(0);
        s.category = stmt.text(1);
        s.address = stmt.text(2);
        s.info = stmt.text(3);
        s.extra = stmt.text(4);
        s.name = stmt.text(5);
        s.bandwidth = stmt.integer(6);
        s.timeText = stmt.text(7);
        s.seconds = stmt.integer(8);
        s.rating = stmt.text(9);
        s.notes = stmt.text(10);
        s.starts = stmt.integer(11);
        s.listenerRatings = stmt.integer(12);
        if (!stmt.isNull(13)) {
            s.listenerRatingMean = stmt.real(13);
        }
        if (!stmt.isNull(14)) {
            s.listenerNote = stmt.text(14);
        }
        out.push_back(std::move(s));
    }
    stmt.reset();
    return out;
}

std::vector<std::string> Catalogue::categoryNames() {
    std::vector<std::string> names;
    categoryNames_.reset();
    while (categoryNames_.step()) {
        names.push_back(categoryNames_.text(0));
    }
    categoryNames_.reset();
    return names;
}

std::optional<std::int64_t> Catalogue::categoryId(std::string_view name) {
    categoryId_.reset().bind(1, name);
    std::optional<std::int64_t> id;
    if (categoryId_.step()) {
        id = categoryId_.integer(0);
    }
    categoryId_.reset();
    return id;
}

std::optional<std::int64_t> Catalogue::firstListedCategory(BandwidthFilter filter) {
    firstListed_.reset().bind(1, filter.min).bind(2, filter.max);
    std::optional<std::int64_t> id;
    if (firstListed_.step()) {
        id = firstListed_.integer(0);
    }
    firstListed_.reset();
    return id;
}

std::int64_t Catalogue::stationCount() {
    stationCount_.reset();
    std::int64_t n = stationCount_.step() ? stationCount_.integer(0) : 0;
    stationCount_.reset();
    return n;
}

std::vector<StationListing> Catalogue::category(std::int64_t categoryId, BandwidthFilter filter) {
    category_.reset().bind(1, categoryId).bind(2, filter.min).bind(3, filter.max);
    return collect(category_);
}

std::vector<StationListing> Catalogue::mostPopular(BandwidthFilter filter, int limit) {
    popular_.reset().bind(1, filter.min).bind(2, filter.max).bind(3, std::int64_t{limit});
    return collect(popular_);
}

std::vector<StationListing> Catalogue::search(std::string_view match, BandwidthFilter filter,
                                              int limit) {
    search_.reset()
        .bind(1, match)
        .bind(2, filter.min)
        .bind(3, filter.max)
        .bind(4, std::int64_t{limit});
    return collect(search_);
}

std::optional<std::int64_t> Catalogue::stationByAddress(std::string_view address) {
    byAddress_.reset().bind(1, address);
    std::optional<std::int64_t> id;
    if (byAddress_.step()) {
        id = byAddress_.integer(0);
    }
    byAddress_.reset();
    return id;
}

std::optional<StationListing> Catalogue::station(std::int64_t id) {
    byId_.reset().bind(1, id);
    auto found = collect(byId_);
    if (found.empty()) {
        return std::nullopt;
    }
    return std::move(found.front());
}

std::vector<StationListing> Catalogue::stationsNamed(std::string_view name, int limit) {
    byName_.reset().bind(1, name).bind(2, std::int64_t{limit});
    return collect(byName_);
}

std::vector<StationListing> Catalogue::stationsNamedWithPlus(std::string_view plusForm, int limit) {
    byPlusName_.reset().bind(1, plusForm).bind(2, std::int64_t{limit});
    return collect(byPlusName_);
}

std::vector<StationListing> Catalogue::stationsNamedFrom(std::string_view prefix, int limit) {
    byNamePrefix_.reset().bind(1, prefix).bind(2, std::int64_t{limit});
    return collect(byNamePrefix_);
}

void Catalogue::recordStart(std::int64_t stationId, std::int64_t now) {
    insertStart_.reset().bind(1, stationId).bind(2, now).run();
}

CatalogueVersion Catalogue::version() {
    version_.reset();
    CatalogueVersion v;
    if (version_.step()) {
        v.generation = version_.integer(0);
        v.starts = version_.integer(1);
    }
    version_.reset();
    return v;
}

void Catalogue::recordStarts(std::span<const StationStart> starts) {
    Transaction tx(db_);
    for (const StationStart& s : starts) {
        insertStart_.reset().bind(1, s.stationId).bind(2, s.at).run();
    }
    tx.commit();
}

void Catalogue::addRating(std::int64_t stationId, int rating, std::string_view notes,
                          std::int64_t now) {
    insertRating_.reset()
        .bind(1, stationId)
        .bind(2, std::int64_t{rating})
        .bind(3, notes)
        .bind(4, now)
        .run();
}

std::int64_t Catalogue::addSupportMessage(const SupportMessage& m) {
    insertMessage_.reset()
        .bind(1, m.name)
        .bind(2, m.email)
        .bind(3, m.subject)
        .bind(4, m.body)
        .bind(5, m.remote)
        .bind(6, m.sentAt)
        .run();
    return db_.lastInsertId();
}

std::vector<SupportMessage> Catalogue::supportMessages(int limit) {
    messages_.reset().bind(1, std::int64_t{limit});
    std::vector<SupportMessage> out;
    while (messages_.step()) {
        SupportMessage m;
        m.id = messages_.integer(0);
        m.name = messages_.text(1);
        m.email = messages_.text(2);
        m.subject = messages_.text(3);
        m.body = messages_.text(4);
        m.remote = messages_.text(5);
        m.sentAt = messages_.integer(6);
        out.push_back(std::move(m));
    }
    messages_.reset();
    return out;
}

}  // namespace kinvo::ds
