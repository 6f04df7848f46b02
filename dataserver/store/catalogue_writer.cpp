#include "dataserver/store/catalogue_writer.h"

namespace kinvo::ds {

CatalogueWriter::CatalogueWriter(Database& db)
    : db_(db),
      findCategory_(db.prepare("SELECT id FROM categories WHERE name = ?1")),
      addCategory_(
          db.prepare("INSERT INTO categories(name, position) "
                     "VALUES (?1, (SELECT COALESCE(MAX(position), 0) + 1 FROM categories))")),
      upsertStation_(db.prepare(R"sql(
INSERT INTO stations(category_id, position, address, info, extra, name, bandwidth, time_text,
                     seconds, rating, notes, tags, logo, adult)
VALUES (?1, (SELECT COALESCE(MAX(position), 0) + 1 FROM stations WHERE category_id = ?1),
        ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)
ON CONFLICT(address) DO UPDATE SET
    position = CASE WHEN category_id = excluded.category_id THEN position
                    ELSE excluded.position END,
    category_id = excluded.category_id,
    info = excluded.info, extra = excluded.extra, name = excluded.name,
    bandwidth = excluded.bandwidth, time_text = excluded.time_text, seconds = excluded.seconds,
    rating = excluded.rating, notes = excluded.notes, tags = excluded.tags,
    logo = excluded.logo, adult = excluded.adult
)sql")) {}

std::int64_t CatalogueWriter::categoryFor(const std::string& name) {
    findCategory_.reset().bind(1, name);
    if (findCategory_.step()) {
        std::int64_t id = findCategory_.integer(0);
        findCategory_.reset();
        return id;
    }
    findCategory_.reset();
    addCategory_.reset().bind(1, name).run();
    return db_.lastInsertId();
}

void CatalogueWriter::put(const StationInput& s) {
    std::int64_t category = categoryFor(s.category);
    upsertStation_.reset()
        .bind(1, category)
        .bind(2, s.address)
        .bind(3, s.info)
        .bind(4, s.extra)
        .bind(5, s.name)
        .bind(6, s.bandwidth)
        .bind(7, s.timeText)
        .bind(8, s.seconds)
        .bind(9, s.rating)
        .bind(10, s.notes)
        .bind(11, s.tags)
        .bind(12, s.logo)
        .bind(13, std::int64_t{s.adult ? 1 : 0})
        .run();
}

}  // namespace kinvo::ds
