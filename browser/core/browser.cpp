#include "browser/core/browser.h"

#include "browser/core/cache_file.h"
#include "browser/core/favorites.h"
#include "browser/core/favorites_file.h"
#include "browser/core/program_folder.h"

namespace kinvo {

Browser::Browser(const BrowserOptions& browserOptions)
    : options(browserOptions), fetcher(state), programFolder(kinvo::programFolder()) {
    fetcher.setConnectTo(options.connectTo);
}

void Browser::beginRun(Prompts& prompts) {
    loadFavoritesFile(lists.lstFavorites, favoritesFilePath(programFolder), prompts);
    deleteCacheFiles(programFolder);
    state.stopRequested = false;
}

void Browser::endRun() {
    state.stopRequested = true;
    fetcher.cancel();
    deleteCacheFiles(programFolder);
}

}  // namespace kinvo
