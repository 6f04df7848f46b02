#pragma once
// The server's view of one catalogue connection: the reads behind every list, search and page,
// and the small writes requests make (station starts, ratings, support messages). Every
// statement is prepared once, in the constructor, and reused.
//
// Not thread-safe: one thread uses a Catalogue at a time (ConnectionPool hands them out).
// Errors: DbError, as the store module's policy says (sqlite_handle.h).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataserver/store/sqlite_handle.h"
#include "dataserver/store/station.h"

namespace kinvo::ds {

class Catalogue {
  public:
    explicit Catalogue(Database db);
    Catalogue(Catalogue&&) noexcept = default;
    Catalogue& operator=(Catalogue&&) = delete;

    // In their order.
    std::vector<std::string> categoryNames();
    std::optional<std::int64_t> categoryId(std::string_view name);
    // The first category, in their order, with a station in the class; nullopt when none has.
    std::optional<std::int64_t> firstListedCategory(BandwidthFilter filter);
    std::int64_t stationCount();

    // Listings keep a station of unknown bandwidth (0) in every class.
    // A category's stations in catalogue order.
    std::vector<StationListing> category(std::int64_t categoryId, BandwidthFilter filter);
    // Stations started at least once, most starts first, then by name.
    std::vector<StationListing> mostPopular(BandwidthFilter filter, int limit);
    // `match` is an FTS5 query over name, info, notes and tags; best matches first.
    std::vector<StationListing> search(std::string_view match, BandwidthFilter filter, int limit);

    std::optional<std::int64_t> stationByAddress(std::string_view address);
    std::optional<StationListing> station(std::int64_t id);
    // Exact name first; callers fall back to stationsNamedFrom for partial names.
    std::vector<StationListing> stationsNamed(std::string_view name, int limit);
    // Stations whose name, with every blank written as "+", is `plusForm` (a name as a link
    // carries it when a "+" may be a blank or itself).
    std::vector<StationListing> stationsNamedWithPlus(std::string_view plusForm, int limit);
    // Stations whose name starts with `prefix`, by name.
    std::vector<StationListing> stationsNamedFrom(std::string_view prefix, int limit);

    // The change counters; one indexed read of one row.
    CatalogueVersion version();

    void recordStart(std::int64_t stationId, std::int64_t now);
    // All of them in one transaction: written all, or (DbError) none.
    void recordStarts(std::span<const StationStart> starts);
    void addRating(std::int64_t stationId, int rating, std::string_view notes, std::int64_t now);
    // Returns the stored row's id (read on this connection, so never another sender's).
    std::int64_t addSupportMessage(const SupportMessage& message);
    // Newest first.
    std::vector<SupportMessage> supportMessages(int limit);

  private:
    std::vector<StationListing> collect(Statement& stmt);

    Database db_;
    Statement categoryNames_;
    Statement categoryId_;
    Statement firstListed_;
    Statement stationCount_;
    Statement category_;
    Statement popular_;
    Statement version_;
    Statement search_;
    Statement byAddress_;
    Statement byId_;
    Statement byName_;
    Statement byPlusName_;
    Statement byNamePrefix_;
    Statement insertStart_;
    Statement insertRating_;
    Statement insertMessage_;
    Statement messages_;
};

}  // namespace kinvo::ds
