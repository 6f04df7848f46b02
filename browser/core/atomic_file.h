#pragma once
// Replacing a file whole: the new bytes go to a fresh file in the same folder, are flushed to the
// disk, and that file then takes the old one's name in one step. Whoever reads the name sees the
// old bytes or the new ones, never a mixture, whether the program dies or the disk fills during
// the write. Every write's result is checked (a short write is a failure, not a success).

#include <QString>

#include <string_view>

namespace kinvo {

// Writes bytes to path in the way described above; false, with the old file (or its absence)
// unchanged and no temporary file left, when any step fails. The new file keeps the old one's
// permission bits, or gets 0644 less the umask when there was none.
bool replaceFile(const QString& path, std::string_view bytes);

}  // namespace kinvo
