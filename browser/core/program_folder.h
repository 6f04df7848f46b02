#pragma once
// The browser's program folder, where it keeps Favorites.lst, the "*.chz" catalogue cache files
// and its player page: $KINVO_HOME, else $XDG_DATA_HOME/Kinvo (XDG_DATA_HOME defaulting to
// ~/.local/share). An installed program's own folder is not writable, hence a per-user one.

#include <QString>

namespace kinvo {

// The folder's path, created (with its parents) on this first use; the path also when it can't
// be created, so that the file operations in it then fail one by one.
QString programFolder();

}  // namespace kinvo
