// The libraries of one kind of plug-in that a host has loaded, in table order: the loop every
// host runs (scan the plug-in folder, load, find the export, test the record, keep in order,
// unload in order), configured by the kind. The input, output and encoder hosts each hold one.
//
// Error policy: nothing throws out of load and unload beyond std::bad_alloc from the table
// itself; a library that does not load is passed over, and one that loads but fails the kind's
// test is kept aside, loaded, until unload (it may already run code of its own).
// Threads: main thread only. Order: load once -> entries -> unload (safe to call twice).
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "axserver/pluginlib/plugin_folder.h"
#include "axserver/pluginlib/plugin_library.h"

namespace vexa {

template <class Record>
struct PluginKind {
    std::string_view prefix;           // file names prefix + "*.so", without regard to case
    const char* exportName;            // the export that answers the record: Record* (*)()
    size_t maxCount;                   // at most this many enter the table
    bool (*accepts)(const Record& r);  // the record's own test (its version)
};

template <class Record>
class PluginTable {
  public:
    struct Entry {
        PluginLibrary library;
        Record* record;
        // The file name without folder, zero-terminated, at a place that moves of the table do
        // not change: records may point at it.
        std::unique_ptr<char[]> fileName;
    };

    PluginTable() = default;
    PluginTable(const PluginTable&) = delete;
    PluginTable& operator=(const PluginTable&) = delete;
    ~PluginTable() { clear(); }

    // Loads every matching library of moduleDir + "/Plugins" in the folder's order. A record
    // that passes enters the table with its libraryHandle set, and then `adopt(Entry&)` runs on
    // it in place (the host's fields, init).
    template <class Adopt>
    void load(std::string_view moduleDir, const PluginKind<Record>& kind, Adopt&& adopt) {
        using GetRecord = Record* (*)();
        const std::string folder = pluginFolder(moduleDir);
        for (const std::string& name : findPluginFiles(folder, kind.prefix)) {
            if (table_.size() >= kind.maxCount) {
                break;
            }
            auto library = PluginLibrary::load(folder + "/" + name);
            if (!library) {
                continue;
            }
            auto get = reinterpret_cast<GetRecord>(library->symbol(kind.exportName));
            Record* record = get != nullptr ? get() : nullptr;
            if (record == nullptr || !kind.accepts(*record)) {
                skipped_.push_back(std::move(*library));
                continue;
            }
            record->libraryHandle = library->handle();
            auto fileName = std::make_unique<char[]>(name.size() + 1);  // zero-filled
            std::memcpy(fileName.get(), name.data(), name.size());
            table_.push_back(Entry{std::move(*library), record, std::move(fileName)});
            adopt(table_.back());
        }
    }

    // In table order: `release(Entry&)` (the plug-in's quit), then its library; then the
    // libraries kept aside.
    template <class Release>
    void unload(Release&& release) noexcept {
        for (Entry& entry : table_) {
            release(entry);
            entry.library.reset();
        }
        clear();
    }

    const std::vector<Entry>& entries() const noexcept { return table_; }
    size_t size() const noexcept { return table_.size(); }

  private:
    void clear() noexcept {
        table_.clear();
        skipped_.clear();
    }

    std::vector<Entry> table_;
    std::vector<PluginLibrary> skipped_;
};

}  // namespace vexa
