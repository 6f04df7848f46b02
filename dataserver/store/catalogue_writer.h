#pragma once
// Puts imported stations into the catalogue. Runs inside the caller's Transaction, so an import
// either lands whole or not at all.
//
// A station is known by its address: putting an address again replaces its fields (a re-import
// updates the catalogue) and moves it when its category changed. New categories are added after
// the existing ones, new stations after the existing ones of their category.
// Not thread-safe; errors are DbError (sqlite_handle.h).

#include "dataserver/store/sqlite_handle.h"
#include "dataserver/store/station.h"

namespace kinvo::ds {

class CatalogueWriter {
  public:
    explicit CatalogueWriter(Database& db);
    void put(const StationInput& station);

  private:
    std::int64_t categoryFor(const std::string& name);

    Database& db_;
    Statement findCategory_;
    Statement addCategory_;
    Statement upsertStation_;
};

}  // namespace kinvo::ds
