#pragma once
// The catalogue cache: a category listed from the server is kept for the rest of the run in the
// program folder, in a file named after the category with every "/" removed plus ".chz"
// (Music/Entertainment -> MusicEntertainment.chz). It holds the list's items as SBList saves
// them, text and tag in the catalogue's character shift, each station item followed by its
// companion item of lstStations2 (address, notes + "||" + rating; text and tag empty when the
// companion list had none), so that a listing from the cache fills both lists. The files last
// one run: start-up and exit delete them.

#include <QString>

#include <string>
#include <string_view>

namespace kinvo {

QString cacheFilePath(const QString& programFolder, std::string_view category);

// Deletes every "*.chz" file of the folder (names matched without regard to case).
void deleteCacheFiles(const QString& programFolder);

// The shift of cached texts. It is EncodeText / DecodeText, except that a byte the shift would
// move past 255 (or below 0) wraps around instead of being dropped, so every text comes back
// exactly: a second listing shows the same names as the first.
std::string encodeForCache(std::string_view text);
std::string decodeFromCache(std::string_view text);

}  // namespace kinvo
