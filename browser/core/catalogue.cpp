#include "browser/core/catalogue.h"

#include "browser/core/cache_file.h"
#include "browser/core/catalogue_view.h"
#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/favorites.h"
#include "browser/core/program_state.h"
#include "browser/core/prompts.h"
#include "browser/core/settings_store.h"
#include "browser/core/station_lists.h"
#include "browser/core/texts.h"
#include "catalogue/capitals.h"
#include "catalogue/station_record.h"
#include "catalogue/text_shift.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <optional>

namespace kinvo {
namespace {

// Station list heights in twips: with and without the rating panel below the list.
constexpr int kListHeightWithRating = 4080;
constexpr int kListHeightFull = 4900;

// The lstStations2 item of station i of lstStations: the item at the same index when extract
// filled both lists in step (the usual case), else the first one with the station's address;
// -1 when there is none.
int companionOf(const StationLists& lists, int station) {
    const std::optional<StationTagFields> fields = SplitStationTag(lists.lstStations.tag(station));
    if (!fields) {
        return -1;
    }
    if (lists.lstStations2.text(station) == fields->address) {
        return station;
    }
    return lists.lstStations2.findByText(fields->address);
}

std::string catalogueRequest(std::string_view dataServer) {
    std::string request(texts::kScheme);
    request.append(dataServer).append(texts::kCataloguePath).append(texts::kCatalogueProduct);
    return request;
}

}  // namespace

std::string categoryParameter(std::string_view category) {
    if (category.empty() || category.front() == '_') {
        return {};
    }
    std::string parameter(category);
    for (char& c : parameter) {
        if (c == ' ') {
            c = '+';
        }
    }
    return parameter;
}

std::string_view speedEnding(std::string_view speed) {
    if (speed == texts::kBroadband) {
        return texts::kBroadbandEnding;
    }
    if (speed == texts::kAllContent) {
        return texts::kAllContentEnding;
    }
    return texts::kDialupEnding;
}

std::string listRequest(std::string_view dataServer, std::string_view category,
                        std::string_view speed) {
    return catalogueRequest(dataServer)
        .append(texts::kListRequest)
        .append(texts::kCategoryParameter)
        .append(categoryParameter(category))
        .append(speedEnding(speed))
        .append(texts::kVersion);
}

Catalogue::Catalogue(Parts parts)
    : p_(std::move(parts)), letEventsRun_([] { QCoreApplication::processEvents(); }) {}

std::string Catalogue::FetchCategoryNames() {
    p_.state.documentText.clear();
    return p_.fetcher.GetDoc(catalogueRequest(p_.state.dataServer)
                                 .append(texts::kCategoryNamesRequest)
                                 .append(texts::kVersionParameter)
                                 .append(texts::kVersion));
}

void Catalogue::FillCategories() {
    p_.view.setStatText(texts::kLoadingStations);
    const std::string names = FetchCategoryNames();
    p_.lists.lstStations.clear();
    p_.comboS.clear();
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t end = names.find(texts::kCategoryNameSeparator, start);
        if (end == std::string::npos) {
            end = names.size();
        }
        if (end > start) {
            p_.comboS.addItem(names.substr(start, end - start));
        }
        start = end + 1;
    }
    p_.comboS.addItem(std::string(texts::kFavorites));
    p_.comboS.addItem(std::string(texts::kMostPopularStations));
    p_.comboS.addItem(std::string(texts::kVideoSearch));
    p_.comboS.setText(p_.comboS.item(3));
}

void Catalogue::ComboS_Click() {
    CatalogueView& view = p_.view;
    const bool largeFonts = p_.state.largeFonts;
    view.setWindowEnabled(false);
    view.setBandwidthText({});
    view.setStationsText({});
    view.setRateFrameVisible(true);
    if (!largeFonts) {
        view.setStationListHeight(kListHeightWithRating);
    }
    const std::string category = p_.comboS.text();
    if (category == texts::kVideoSearch) {
        view.setRateFrameVisible(false);
        view.setRateButtonVisible(false);
        view.openVideoSearch();
    } else {
        const bool rating = category == texts::kMusicVideo;
        view.setRateFrameVisible(rating);
        view.setRateButtonVisible(rating);
        if (!rating && !largeFonts) {
            view.setStationListHeight(kListHeightFull);
        }
        view.setBusy(true);
        LoadCategory(category);
        view.setBusy(false);
    }
    view.setWindowEnabled(true);
    view.layOut();
}

void Catalogue::LoadCategory(const std::string& category) {
    CatalogueView& view = p_.view;
    SBList& lstStations = p_.lists.lstStations;
    const bool favorites = containsInCapitals(category, texts::kFavoritesMarker);

    view.setPlayTimeVisible(false);
    view.setBusy(true);
    p_.comboS.setEnabled(false);
    lstStations.clear();
    view.setStationListVisible(false);

    if (favorites) {
        view.setStationListHeight(kListHeightFull);
        lstStations.setSorted(true);
        const SBList& lstFavorites = p_.lists.lstFavorites;
        for (int i = 0; i < lstFavorites.count(); ++i) {
            lstStations.add(lstStations.count(), decodeFavoriteText(lstFavorites.text(i)),
                            decodeFavoriteText(lstFavorites.tag(i)), lstFavorites.number(i));
        }
        lstStations.setSorted(false);
    } else {
        const QString cacheFile = cacheFilePath(p_.programFolder, category);
        const bool sortByName = category.find(texts::kPopularMarker) == std::string::npos;
        if (!QFileInfo::exists(cacheFile) || !listFromCache(cacheFile, sortByName)) {
            listFromServer(cacheFile, category);
        }
    }

    view.setBusy(false);
    p_.comboS.setEnabled(true);
    view.setStationListVisible(true);
    if (lstStations.count() > 0) {
        lstStations.setSelected(0, true);
    }
    view.setStationsText(std::to_string(lstStations.count()).append(texts::kItemsSuffix));
    if (favorites && lstStations.count() == 0) {
        p_.prompts.message(texts::kNoFavorites, Prompts::Buttons::Ok, Prompts::Icon::Information);
    }
}

void Catalogue::listFromServer(const QString& cacheFile, const std::string& category) {
    p_.state.stopRequested = false;
    const std::string speed = p_.settings.readText(texts::kKeySpeed, texts::kBroadband);
    extract(p_.fetcher.GetDoc(listRequest(p_.state.dataServer, category, speed)),
            ExtractMode::Catalogue);

    const SBList& lstStations = p_.lists.lstStations;
    const SBList& lstStations2 = p_.lists.lstStations2;
    if (lstStations.count() == 0) {
        return;
    }
    SBList& lstTemp = p_.lists.lstTemp;
    lstTemp.clear();
    for (int i = 0; i < lstStations.count(); ++i) {
        lstTemp.add(lstTemp.count(), encodeForCache(lstStations.text(i)),
                    encodeForCache(lstStations.tag(i)), lstStations.number(i));
        // Its notes and rating follow it (an empty item when it has none), so that a listing
        // from the cache shows what the first listing showed.
        const int companion = companionOf(p_.lists, i);
        lstTemp.add(lstTemp.count(), encodeForCache(lstStations2.text(companion)),
                    encodeForCache(lstStations2.tag(companion)), 0);
        letEventsRun_();
    }
    lstTemp.save(cacheFile);
}

bool Catalogue::listFromCache(const QString& cacheFile, bool sortByName) {
    SBList& lstTemp = p_.lists.lstTemp;
    // Station and companion items come in pairs: an odd count is not a file listFromServer wrote.
    if (!lstTemp.load(cacheFile) || lstTemp.count() % 2 != 0) {
        QFile::remove(cacheFile);
        return false;
    }
    SBList& lstStations = p_.lists.lstStations;
    SBList& lstStations2 = p_.lists.lstStations2;
    // The companion list holds the stations of this listing only, as after extract.
    lstStations2.clear();
    lstStations.setSorted(sortByName);
    for (int i = 0; i + 1 < lstTemp.count(); i += 2) {
        lstStations.add(lstStations.count(), decodeFromCache(lstTemp.text(i)),
                        decodeFromCache(lstTemp.tag(i)), lstTemp.number(i));
        if (!lstTemp.text(i + 1).empty()) {
            lstStations2.add(lstStations2.count(), decodeFromCache(lstTemp.text(i + 1)),
                             decodeFromCache(lstTemp.tag(i + 1)), 0);
        }
        letEventsRun_();
    }
    lstStations.setSorted(false);
    return true;
}

void Catalogue::extract(std::string document, ExtractMode mode) {
    ExtractOptions options;
    options.mode = mode;
    options.adultSettings = p_.settings.readNumber(texts::kKeyAdultSettings, 1);
    options.stopRequested = &p_.state.stopRequested;
    options.letEventsRun = letEventsRun_;
    ::kinvo::extract(document, p_.lists.lstStations, p_.lists.lstStations2, options);
}

}  // namespace kinvo
