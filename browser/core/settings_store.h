#pragma once
// The browser's per-user settings: text values under application "Kinvo!", section "Settings",
// kept in an INI file ($XDG_CONFIG_HOME/Kinvo!/Kinvo!.ini). Key names are matched without regard
// to letter case. The store knows no defaults: each reader passes its own, which applies only
// when the key was never written (a key holding the empty text reads as the empty text). Values
// are bytes; numbers are stored as their decimal text. Nothing is cached between reads.
//
// Only a regular file of at most 1 MiB (limits::kSettingsFileBytes; a symbolic link is followed)
// is read. Anything else at the file's name (a FIFO, a device such as /dev/zero, a folder, a file
// past the bound), found at construction or before a write, makes the store hold its values in
// memory from then on: it starts from what it held (nothing, at construction, so every reader
// gets its default), writes change only the memory for the rest of the run, and the thing at the
// name is never opened, written, replaced or removed.
//
// Error policy: a numeric reader returns nullopt for text that is not a whole number (the empty
// text included), so the caller skips the statement that needed it. A write that can't reach the
// file is lost without a report, as every failing step of the browser is.
// User-interface thread only.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QSettings;

namespace kinvo {

// A whole number written in decimal, with optional blanks around it and an optional sign;
// nullopt for anything else (the empty text, letters, a number beyond 64 bits).
std::optional<std::int64_t> parseWholeNumber(std::string_view text);

class SettingsStore {
  public:
    // The store at the given INI file; the default is the per-user location.
    explicit SettingsStore(const QString& iniPath = defaultPath());
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME (else ~/.config) + "/Kinvo!/Kinvo!.ini".
    static QString defaultPath();

    std::string readText(std::string_view key, std::string_view defaultValue) const;
    std::optional<std::int64_t> readNumber(std::string_view key, std::int64_t defaultValue) const;
    void write(std::string_view key, std::string_view value);

    // True once the file turned out unusable and the values live in memory only.
    bool inMemory() const { return settings_ == nullptr; }

  private:
    // The stored spelling of a key that matches without regard to case; empty when none.
    QString storedKey(std::string_view key) const;
    // Leaves the file alone from now on, keeping what the store held.
    void moveToMemory();

    QString path_;
    std::unique_ptr<QSettings> settings_;  // null while the values live in memory_
    std::vector<std::pair<QString, std::string>> memory_;
};

}  // namespace kinvo
