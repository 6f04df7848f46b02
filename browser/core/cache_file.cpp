#include "browser/core/cache_file.h"

#include "browser/core/texts.h"
#include "catalogue/text_shift.h"

#include <QDir>

namespace kinvo {
namespace {

std::string wrapShift(std::string_view text, int sign) {
    const ShiftDigits digits = shiftDigitsFor(text.size());
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int by = i < digits.half ? digits.first : digits.second;
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + sign * by);
    }
    return out;
}

}  // namespace

QString cacheFilePath(const QString& programFolder, std::string_view category) {
    std::string name;
    name.reserve(category.size() + texts::kCacheExtension.size());
    for (const char c : category) {
        if (c != '/') {
            name.push_back(c);
        }
    }
    name.append(texts::kCacheExtension);
    return programFolder + QLatin1Char('/') + QString::fromStdString(name);
}

void deleteCacheFiles(const QString& programFolder) {
    QDir folder(programFolder);
    const QString pattern = QStringLiteral("*") + QString::fromUtf8(texts::kCacheExtension.data(),
                                                                    texts::kCacheExtension.size());
    const QStringList names = folder.entryList({pattern}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        folder.remove(name);
    }
}

std::string encodeForCache(std::string_view text) {
    return wrapShift(text, 1);
}

std::string decodeFromCache(std::string_view text) {
    return wrapShift(text, -1);
}

}  // namespace kinvo
