#pragma once
// Reading Favorites.lst at the start of a run, and the rule that keeps a file the browser could
// not read from ever being written over.
//
// A file that reads as a favorites list fills the list and is not touched. Anything else at the
// name (damaged or cut short, not a regular file, past limits::kFavoritesFileBytes) is renamed
// to "Favorites.lst.damaged-<yyyymmdd-hhmmss>" beside it (the name itself is moved: a symbolic
// link goes aside as a link, its target untouched), the user is told once which file was kept,
// and the list starts empty. When the rename fails the file stays where it is, the user is told
// so, and saving refuses to replace it for as long as it does not read as a favorites list.
//
// Error policy: results and one message box, never exceptions. User-interface thread only.

#include <QDateTime>
#include <QString>

namespace kinvo {

class Prompts;
class SBList;

enum class FavoritesLoad {
    Missing,  // no file: the list is left empty
    Loaded,   // the list holds the file's favorites
    MovedAside,
    KeptInPlace,  // unreadable and not movable; the list is left empty
};

// Fills favorites from the file at path as described above; now names a damaged copy.
FavoritesLoad loadFavoritesFile(SBList& favorites, const QString& path, Prompts& prompts,
                                const QDateTime& now = QDateTime::currentDateTime());

// True when nothing is at path or what is there reads as a favorites list: only then may a save
// replace it.
bool favoritesFileReplaceable(const QString& path);

}  // namespace kinvo
