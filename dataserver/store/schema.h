#pragma once
// The catalogue's schema and its migrations. The database's user_version holds the schema
// version; openCatalogue brings an older file up to kSchemaVersion inside one transaction and
// refuses a file written by a newer server.

#include <string>

#include "dataserver/store/sqlite_handle.h"

namespace kinvo::ds {

inline constexpr int kSchemaVersion = 2;

// Opens (creating when asked) the file, switches it to WAL mode, turns foreign keys on and
// migrates it. Throws DbError on failure, also for a schema version above kSchemaVersion.
Database openCatalogue(const std::string& path, Database::Mode mode);

int schemaVersion(Database& db);

}  // namespace kinvo::ds
