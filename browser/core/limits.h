#pragma once
// The bounds on what the browser reads from the network and from its own files. Whatever goes
// past one of them is treated as a failure of that read (an empty document, an unreadable file),
// never as a reason to wait or to hold more memory.

#include <chrono>
#include <cstdint>

namespace kinvo::limits {

// The largest document a fetch accepts, body bytes after any transfer decoding. A catalogue
// line is one station of about 150 to 400 bytes, and the largest catalogues hold a few thousand
// stations (1 to 3 MB); 8 MiB leaves room for several times that.
inline constexpr std::int64_t kDocumentBytes = 8 * 1024 * 1024;

// How long one fetch may take in all, redirects included, however steadily its bytes arrive.
inline constexpr std::chrono::milliseconds kFetchTotal{60'000};
// How long a fetch may go without receiving a byte.
inline constexpr std::chrono::milliseconds kFetchInactivity{30'000};
// How many redirects one fetch follows; one more fails it.
inline constexpr int kRedirects = 5;

// The settings file (a few hundred bytes in use).
inline constexpr std::int64_t kSettingsFileBytes = 1024 * 1024;
// Favorites.lst: the same bound as a document, whose stations it holds.
inline constexpr std::int64_t kFavoritesFileBytes = kDocumentBytes;
// A saved list (the cache of a category): a document's stations with a line of lengths each.
inline constexpr std::int64_t kListFileBytes = 2 * kDocumentBytes;

}  // namespace kinvo::limits
