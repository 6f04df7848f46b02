#include "browser/core/play_station.h"

#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/shell_open.h"
#include "browser/core/station_lists.h"
#include "browser/core/station_player.h"
#include "browser/core/station_view.h"
#include "browser/core/texts.h"
#include "catalogue/text_shift.h"

namespace kinvo {

std::string stationAddress(std::string_view key) {
    const std::size_t mark = key.find(texts::kTagAddress);
    if (mark != std::string_view::npos) {
        key.remove_prefix(mark + texts::kTagAddress.size());
    }
    return std::string(key.substr(0, key.find(texts::kTagTime)));
}

std::string statsPingRequest(std::string_view dataServer, std::string_view address) {
    return std::string(texts::kScheme).append(dataServer).append(texts::kStatsPath).append(address);
}

std::string stationCaption(std::string_view name) {
    return std::string(texts::kTitle)
        .append(" ")
        .append(texts::kVersion)
        .append(texts::kCaptionSeparator)
        .append(name);
}

void StationStarter::start() {
    SBList& lstStations = p_.lists.lstStations;
    const int current = lstStations.currentIndex();
    if (current >= 0 && current < lstStations.count()) {
        p_.view.setStationListVisible(false);
        p_.view.setStatText(texts::kConnecting);
        // Copies: the events PlayStation lets run may change the list.
        const std::string tag = lstStations.tag(current);
        const std::string name = lstStations.text(current);
        PlayStation(tag, name);
    }
    if (!p_.state.pendingHelpPage.empty()) {
        const std::string page = std::move(p_.state.pendingHelpPage);
        p_.state.pendingHelpPage.clear();
        ShellOpen(page, p_.shell, p_.prompts);
    }
}

void StationStarter::PlayStation(std::string_view key, std::string_view name) {
    p_.state.stopRequested = false;
    p_.player.StopPlayer();
    p_.view.setStationFrameVisible(false);
    p_.view.setStatText(texts::kConnecting);
    p_.view.setStatVisible(true);
    const std::string address = stationAddress(key);
    const std::string& category = p_.comboS.text();
    if (category != texts::kVideoSearch && category != texts::kMusicVideo) {
        StatsPing(DecodeText(address, true));
    }
    p_.view.setStatVisible(true);
    p_.view.setCaption(stationCaption(name));
    p_.state.currentAddress = address;
    std::string pageName(name);
    p_.player.BuildPlayerPage(address, pageName);
}

void StationStarter::StatsPing(std::string_view address) {
    p_.fetcher.GetDoc(statsPingRequest(p_.state.dataServer, address));
}

}  // namespace kinvo
