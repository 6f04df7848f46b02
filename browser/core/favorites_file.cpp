#include "browser/core/favorites_file.h"

#include "browser/core/bounded_file.h"
#include "browser/core/limits.h"
#include "browser/core/prompts.h"
#include "browser/core/sb_list.h"
#include "browser/core/texts.h"

#include <QFile>

#include <sys/stat.h>
#include <cstdio>
#include <optional>
#include <string>

namespace kinvo {
namespace {

bool nameTaken(const QByteArray& path) {
    struct stat status {};
    return ::lstat(path.constData(), &status) == 0;
}

// Renames path to its damaged name (a number added when that is taken); the new name, or
// nullopt when the rename failed.
std::optional<QString> moveAside(const QString& path, const QDateTime& now) {
    const QString base =
        path +
        QString::fromUtf8(texts::kFavoritesDamagedFile.data(),
                          static_cast<qsizetype>(texts::kFavoritesDamagedFile.size())) +
        now.toString(QStringLiteral("yyyyMMdd-hhmmss"));
    const QByteArray from = QFile::encodeName(path);
    constexpr int kTries = 100;
    for (int n = 1; n <= kTries; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        const QByteArray to = QFile::encodeName(name);
        if (nameTaken(to)) {
            continue;
        }
        // Not QFile::rename: where a rename fails it copies, which would read a device forever.
        if (std::rename(from.constData(), to.constData()) == 0) {
            return name;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// The file's state, and whether a usable one parsed into list.
FileState readInto(SBList& list, const QString& path, bool& parsed) {
    const FileBytes file = readBoundedFile(path, limits::kFavoritesFileBytes);
    parsed = file.state == FileState::Usable && list.deserialize(file.bytes);
    return file.state;
}

}  // namespace

FavoritesLoad loadFavoritesFile(SBList& favorites, const QString& path, Prompts& prompts,
                                const QDateTime& now) {
    bool parsed = false;
    if (readInto(favorites, path, parsed) == FileState::Missing) {
        return FavoritesLoad::Missing;
    }
    if (parsed) {
        return FavoritesLoad::Loaded;
    }
    favorites.clear();
    const std::string shownPath = QFile::encodeName(path).toStdString();
    if (const auto kept = moveAside(path, now)) {
        prompts.message(std::string(texts::kFavoritesKeptAs)
                            .append(QFile::encodeName(*kept).toStdString())
                            .append(texts::kFavoritesStartEmpty),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return FavoritesLoad::MovedAside;
    }
    prompts.message(
        std::string(texts::kFavoritesNotMoved).append(shownPath).append(texts::kFavoritesNotSaved),
        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    return FavoritesLoad::KeptInPlace;
}

bool favoritesFileReplaceable(const QString& path) {
    SBList scratch;
    bool parsed = false;
    return readInto(scratch, path, parsed) == FileState::Missing || parsed;
}

}  // namespace kinvo
