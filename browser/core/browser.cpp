#include "browser/core/browser.h"

#include "browser/core/cache_file.h"
#include "browser/core/program_folder.h"
#include "browser/core/texts.h"

#include <QFileInfo>

namespace kinvo {

Browser::Browser(const BrowserOptions& browserOptions)
    : options(browserOptions), fetcher(state), programFolder(kinvo::programFolder()) {
    fetcher.setConnectTo(options.connectTo);
}

void Browser::beginRun() {
    const QString favorites =
        programFolder + QLatin1Char('/') + QString::fromUtf8(texts::kFavoritesFile.data());
    if (QFileInfo::exists(favorites)) {
        lists.lstFavorites.load(favorites);
    }
    deleteCacheFiles(programFolder);
    state.stopRequested = false;
}

void Browser::endRun() {
    state.stopRequested = true;
    fetcher.cancel();
    deleteCacheFiles(programFolder);
}

}  // namespace kinvo
