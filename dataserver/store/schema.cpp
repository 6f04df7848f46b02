#include "dataserver/store/schema.h"

#include <string>

namespace kinvo::ds {

namespace {

// Version 1. Stations belong to one category each and are known by their address, so a station
// start and a rating find exactly one row. start_count mirrors the number of rows in starts
// (kept by a trigger) so that the popular list needs no aggregate over the whole log.
constexpr const char* kSchemaV1 = R"sql(
CREATE TABLE categories(
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE,
    position INTEGER NOT NULL
);
CREATE TABLE stations(
    id INTEGER PRIMARY KEY,
    category_id INTEGER NOT NULL REFERENCES categories(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    address TEXT NOT NULL UNIQUE,
    info TEXT NOT NULL DEFAULT '',
    extra TEXT NOT NULL DEFAULT '',
    name TEXT NOT NULL,
    bandwidth INTEGER NOT NULL DEFAULT 0,
    time_text TEXT NOT NULL DEFAULT '',
    seconds INTEGER NOT NULL DEFAULT 0,
    rating TEXT NOT NULL DEFAULT '',
    notes TEXT NOT NULL DEFAULT '',
    tags TEXT NOT NULL DEFAULT '',
    logo TEXT NOT NULL DEFAULT '',
    adult INTEGER NOT NULL DEFAULT 0,
    start_count INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX stations_by_category ON stations(category_id, position);
CREATE INDEX stations_by_starts ON stations(start_count DESC) WHERE start_count > 0;
CREATE INDEX stations_by_name ON stations(name);

CREATE TABLE starts(
    id INTEGER PRIMARY KEY,
    station_id INTEGER NOT NULL REFERENCES stations(id) ON DELETE CASCADE,
    started_at INTEGER NOT NULL
);
CREATE INDEX starts_by_station ON starts(station_id);
CREATE TRIGGER starts_count AFTER INSERT ON starts BEGIN
    UPDATE stations SET start_count = start_count + 1 WHERE id = NEW.station_id;
END;

CREATE TABLE ratings(
    id INTEGER PRIMARY KEY,
    station_id INTEGER NOT NULL REFERENCES stations(id) ON DELETE CASCADE,
    rating INTEGER NOT NULL CHECK (rating BETWEEN 0 AND 5),
    notes TEXT NOT NULL DEFAULT '',
    rated_at INTEGER NOT NULL
);
CREATE INDEX ratings_by_station ON ratings(station_id, id);

CREATE TABLE support_messages(
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    email TEXT NOT NULL,
    subject TEXT NOT NULL,
    body TEXT NOT NULL,
    remote TEXT NOT NULL,
    sent_at INTEGER NOT NULL
);

CREATE VIRTUAL TABLE station_search USING fts5(
    name, info, notes, tags,
    content='stations', content_rowid='id',
    tokenize='unicode61 remove_diacritics 2'
);
CREATE TRIGGER stations_search_insert AFTER INSERT ON stations BEGIN
    INSERT INTO station_search(rowid, name, info, notes, tags)
        VALUES (NEW.id, NEW.name, NEW.info, NEW.notes, NEW.tags);
END;
CREATE TRIGGER stations_search_delete AFTER DELETE ON stations BEGIN
    INSERT INTO station_search(station_search, rowid, name, info, notes, tags)
        VALUES ('delete', OLD.id, OLD.name, OLD.info, OLD.notes, OLD.tags);
END;
CREATE TRIGGER stations_search_update
AFTER UPDATE OF name, info, notes, tags ON stations BEGIN
    INSERT INTO station_search(station_search, rowid, name, info, notes, tags)
        VALUES ('delete', OLD.id, OLD.name, OLD.info, OLD.notes, OLD.tags);
    INSERT INTO station_search(rowid, name, info, notes, tags)
        VALUES (NEW.id, NEW.name, NEW.info, NEW.notes, NEW.tags);
END;
)sql";

// Version 2. Two change counters in one row, bumped by triggers in the same transaction as the
// change, so that a server can tell with one read whether answers it keeps in memory still
// hold, whichever process wrote: `generation` counts changes to what lists, names and searches
// show (categories, stations, ratings), `starts` counts station starts (the popular list).
constexpr const char* kSchemaV2 = R"sql(
CREATE TABLE catalogue_state(
    id INTEGER PRIMARY KEY CHECK (id = 1),
    generation INTEGER NOT NULL,
    starts INTEGER NOT NULL
);
INSERT INTO catalogue_state(id, generation, starts) VALUES (1, 0, 0);
CREATE TRIGGER categories_changed_insert AFTER INSERT ON categories BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER categories_changed_update AFTER UPDATE ON categories BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER categories_changed_delete AFTER DELETE ON categories BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER stations_changed_insert AFTER INSERT ON stations BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER stations_changed_update
AFTER UPDATE OF category_id, position, address, info, extra, name, bandwidth, time_text, seconds,
                rating, notes, tags, logo, adult ON stations BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER stations_changed_delete AFTER DELETE ON stations BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER ratings_changed_insert AFTER INSERT ON ratings BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER ratings_changed_update AFTER UPDATE ON ratings BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER ratings_changed_delete AFTER DELETE ON ratings BEGIN
    UPDATE catalogue_state SET generation = generation + 1;
END;
CREATE TRIGGER starts_changed AFTER INSERT ON starts BEGIN
    UPDATE catalogue_state SET starts = starts + 1;
END;
)sql";

// migrations[i] takes a database from version i to i + 1.
constexpr const char* kMigrations[] = {kSchemaV1, kSchemaV2};
static_assert(std::size(kMigrations) == kSchemaVersion);

}  // namespace

int schemaVersion(Database& db) {
    Statement stmt = db.prepare("PRAGMA user_version");
    return stmt.step() ? static_cast<int>(stmt.integer(0)) : 0;
}

Database openCatalogue(const std::string& path, Database::Mode mode) {
    Database db(path, mode);
    {
        Statement wal = db.prepare("PRAGMA journal_mode=WAL");
        if (!wal.step() || wal.text(0) != "wal") {
            throw DbError(SQLITE_ERROR, "open " + path + ": WAL mode is not available");
        }
    }
    db.exec("PRAGMA foreign_keys=ON; PRAGMA synchronous=NORMAL");
    int version = schemaVersion(db);
    if (version > kSchemaVersion) {
        throw DbError(SQLITE_ERROR, "open " + path + ": schema version " + std::to_string(version) +
                                        " is newer than this server knows");
    }
    if (version < kSchemaVersion) {
        Transaction tx(db);
        // Read again under the write lock: another process may have migrated meanwhile.
        version = schemaVersion(db);
        for (int v = version; v < kSchemaVersion; ++v) {
            db.exec(kMigrations[v]);
        }
        db.exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
        tx.commit();
    }
    return db;
}

}  // namespace kinvo::ds
