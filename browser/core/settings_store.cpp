#include "browser/core/settings_store.h"

#include "browser/core/bounded_file.h"
#include "browser/core/display_text.h"
#include "browser/core/limits.h"
#include "browser/core/texts.h"

#include <QDir>
#include <QSettings>

#include <charconv>

namespace kinvo {
namespace {

QString fromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string valueBytes(const QVariant& value) {
    const QByteArray bytes =
        value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
    return bytes.toStdString();
}

bool fileUsable(const QString& path) {
    return probeFile(path, limits::kSettingsFileBytes) != FileState::Unusable;
}

}  // namespace

std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

SettingsStore::SettingsStore(const QString& iniPath) : path_(iniPath) {
    // QSettings reads the file as it is made and writes it on every sync: it must never meet a
    // file it can't read whole.
    if (fileUsable(path_)) {
        settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
        settings_->beginGroup(fromBytes(texts::kSettingsSection));
    }
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultPath() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) {
        config = QDir::homePath() + QStringLiteral("/.config");
    }
    const QString application = fromBytes(texts::kSettingsApplication);
    return config + QLatin1Char('/') + application + QLatin1Char('/') + application +
           QStringLiteral(".ini");
}

QString SettingsStore::storedKey(std::string_view key) const {
    const QString wanted = fromBytes(key);
    const auto matches = [&wanted](const QString& stored) {
        return stored.compare(wanted, Qt::CaseInsensitive) == 0;
    };
    if (settings_ == nullptr) {
        for (const auto& [stored, value] : memory_) {
            if (matches(stored)) {
                return stored;
            }
        }
        return {};
    }
    const QStringList keys = settings_->childKeys();
    for (const QString& stored : keys) {
        if (matches(stored)) {
            return stored;
        }
    }
    return {};
}

std::string SettingsStore::readText(std::string_view key, std::string_view defaultValue) const {
    const QString stored = storedKey(key);
    if (stored.isEmpty()) {
        return std::string(defaultValue);
    }
    if (settings_ != nullptr) {
        return valueBytes(settings_->value(stored));
    }
    for (const auto& [name, value] : memory_) {
        if (name == stored) {
            return value;
        }
    }
    return std::string(defaultValue);
}

std::optional<std::int64_t> SettingsStore::readNumber(std::string_view key,
                                                      std::int64_t defaultValue) const {
    return parseWholeNumber(readText(key, std::to_string(defaultValue)));
}

void SettingsStore::moveToMemory() {
    if (settings_ == nullptr) {
        return;
    }
    const QStringList keys = settings_->childKeys();
    for (const QString& key : keys) {
        memory_.emplace_back(key, valueBytes(settings_->value(key)));
    }
    // Dropped without a sync: nothing written since the last one is pending.
    settings_.reset();
}

void SettingsStore::write(std::string_view key, std::string_view value) {
    if (!fileUsable(path_)) {
        moveToMemory();
    }
    QString stored = storedKey(key);
    if (stored.isEmpty()) {
        stored = fromBytes(key);
    }
    if (settings_ == nullptr) {
        for (auto& [name, held] : memory_) {
            if (name == stored) {
                held = std::string(value);
                return;
            }
        }
        memory_.emplace_back(stored, std::string(value));
        return;
    }
    // Text that is not UTF-8 is kept as bytes so it reads back unchanged.
    if (isUtf8(value)) {
        settings_->setValue(stored, fromBytes(value));
    } else {
        settings_->setValue(stored, QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    }
    settings_->sync();
}

}  // namespace kinvo
