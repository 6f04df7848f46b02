// The output plug-in host: loads the sound output libraries "out_*.so" of the plug-in folder,
// chooses the preferred output by file name and hands it to the input host.
//
// Error policy: nothing throws; a library that fails a loading test is skipped silently (and
// kept loaded until unloadAll, since it may already run code of its own); a missing preferred
// output shows only as findByFileName answering null.
// Threads: main thread only. Input plug-ins call the entries of the records from their threads;
// the host itself calls only init, quit, open and close.
#pragma once

#include <sonari/out_module.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "axserver/outputs/texts.h"
#include "axserver/pluginlib/plugin_table.h"

namespace vexa {

class OutputPluginHost {
  public:
    static constexpr size_t kMaxOutputs = 31;

    OutputPluginHost() = default;
    OutputPluginHost(const OutputPluginHost&) = delete;
    OutputPluginHost& operator=(const OutputPluginHost&) = delete;
    ~OutputPluginHost() { unloadAll(); }

    // Loads every "out_*.so" of moduleDir + "/Plugins" in name order (at most kMaxOutputs that
    // pass: export present, record returned, version 0x10), replaces each record's fileName with
    // the host's copy of its file name, calls init, then chooses the preferred output: the trial
    // open of "out_qsnd.so" (hostWindow set to serverWindow first) switches the preference to
    // "out_qmix.so" when it answers a negative value. Call once, before any input plug-in plays.
    void loadAll(std::string_view moduleDir, SonariWindow serverWindow);

    // In table order: quit, release the file name copy, release the library. Then the skipped
    // libraries. Safe to call twice.
    void unloadAll() noexcept;

    // The first record whose fileName equals `fileName` without regard to letter case; null when
    // there is none.
    SonariOutModule* findByFileName(std::string_view fileName) const noexcept;

    // "out_qpcm.so" until loadAll, then the chosen name (which need not be loaded).
    const std::string& preferredOutput() const noexcept { return preferredOutput_; }

    // The loaded records in load order.
    std::vector<SonariOutModule*> outputs() const;

  private:
    void choosePreferred(SonariWindow serverWindow);

    PluginTable<SonariOutModule> table_;  // fileName: the host's copy, which record->fileName names
    std::string preferredOutput_ = kInitialPreferredOutput;
};

}  // namespace vexa
