#pragma once
// Everything the browser keeps besides its windows: the program-wide values, the settings
// store, the one fetcher, the four lists and the category box. The windowed program and the
// headless listing each create one and bind their windows or printers to it.

#include "browser/core/browser_options.h"
#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/station_lists.h"

#include <QString>

namespace kinvo {

class Prompts;

struct Browser {
    explicit Browser(const BrowserOptions& options);
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Start of a run: reads Favorites.lst when there is one (one that can't be read is moved
    // aside and named to the user through prompts; see favorites_file.h) and deletes the cache
    // files that a run which did not end cleanly left behind.
    void beginRun(Prompts& prompts);
    // End of a run: stops a running parse and request, deletes the run's cache files.
    void endRun();

    BrowserOptions options;
    ProgramState state;
    SettingsStore settings;
    DocFetcher fetcher;
    StationLists lists;
    CategoryBox comboS;
    QString programFolder;
};

}  // namespace kinvo
