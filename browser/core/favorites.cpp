#include "browser/core/favorites.h"

#include "browser/core/atomic_file.h"
#include "browser/core/cache_file.h"
#include "browser/core/catalogue.h"
#include "browser/core/category_box.h"
#include "browser/core/favorites_file.h"
#include "browser/core/prompts.h"
#include "browser/core/station_lists.h"
#include "browser/core/station_view.h"
#include "browser/core/texts.h"
#include "catalogue/capitals.h"

namespace kinvo {
namespace {

int selectedCount(const SBList& list) {
    int count = 0;
    for (int i = 0; i < list.count(); ++i) {
        count += list.selected(i) ? 1 : 0;
    }
    return count;
}

}  // namespace

QString favoritesFilePath(const QString& programFolder) {
    return programFolder + QLatin1Char('/') +
           QString::fromUtf8(texts::kFavoritesFile.data(),
                             static_cast<qsizetype>(texts::kFavoritesFile.size()));
}

std::string favoriteName(std::string_view shownText, std::string_view category) {
    if (category == texts::kMostPopularStations) {
        const std::size_t bracket = shownText.rfind('(');
        if (bracket != std::string_view::npos) {
            return std::string(shownText.substr(0, bracket));
        }
    }
    return std::string(shownText);
}

// The cache files need the same exact round trip; both use the one wrapping shift.
std::string encodeFavoriteText(std::string_view text) {
    return encodeForCache(text);
}

std::string decodeFavoriteText(std::string_view text) {
    return decodeFromCache(text);
}

void Favorites::add() {
    const SBList& lstStations = p_.lists.lstStations;
    SBList& lstFavorites = p_.lists.lstFavorites;
    const int i = lstStations.currentIndex();
    if (i < 0 || i >= lstStations.count()) {
        p_.prompts.message(texts::kSelectStationsToAdd, Prompts::Buttons::Ok,
                           Prompts::Icon::Information);
        return;
    }
    std::string tag = encodeFavoriteText(lstStations.tag(i));
    if (lstFavorites.findByTag(tag) >= 0) {
        if (selectedCount(lstStations) == 1) {
            p_.prompts.message(std::string(texts::kStationPrefix)
                                   .append(lstStations.text(i))
                                   .append(texts::kAlreadyInFavorites),
                               Prompts::Buttons::Ok, Prompts::Icon::None);
        }
        return;
    }
    const std::string name = favoriteName(lstStations.text(i), p_.comboS.text());
    lstFavorites.add(lstFavorites.count(), encodeFavoriteText(name), std::move(tag),
                     lstStations.number(i));
    p_.prompts.message(texts::kStationAdded, Prompts::Buttons::Ok, Prompts::Icon::None);
    save();
}

void Favorites::remove() {
    SBList& lstStations = p_.lists.lstStations;
    SBList& lstFavorites = p_.lists.lstFavorites;
    const int i = lstStations.currentIndex();
    if (!containsInCapitals(p_.comboS.text(), texts::kFavoriteMarker) || i < 0 ||
        i >= lstStations.count()) {
        return;
    }
    const int favorite = lstFavorites.findByTag(encodeFavoriteText(lstStations.tag(i)));
    if (favorite >= 0) {
        lstFavorites.remove(favorite);
    }
    lstStations.remove(i);
    p_.view.setStationsText(std::to_string(lstStations.count()).append(texts::kItemsSuffix));
    save();
    if (lstStations.count() > 0) {
        lstStations.setSelected(0, true);
        p_.view.focusStationList();
    }
}

void Favorites::menuFavs() {
    p_.comboS.setText(std::string(texts::kFavorites));
    p_.catalogue.ComboS_Click();
    if (!p_.view.stationFrameVisible()) {
        p_.view.setStationFrameVisible(true);
        p_.view.setStationListVisible(true);
        p_.view.focusStationList();
    }
}

bool Favorites::save() const {
    // A file the browser could not read (left in place when it could not be moved aside at
    // start) is never written over.
    if (!favoritesFileReplaceable(p_.filePath)) {
        return false;
    }
    // Not SBList::save: its writer takes a write cut short by a full disk for success and
    // renames the shortened file over the old one.
    return replaceFile(p_.filePath, SBList::serialize(p_.lists.lstFavorites));
}

}  // namespace kinvo
