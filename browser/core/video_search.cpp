#include "browser/core/video_search.h"

#include "browser/core/catalogue.h"
#include "browser/core/catalogue_view.h"
#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/prompts.h"
#include "browser/core/settings_store.h"
#include "browser/core/station_lists.h"
#include "browser/core/texts.h"

#include <algorithm>

namespace kinvo {
namespace {

constexpr int kListHeightFull = 4900;  // twips; no rating panel below the results

// Characters, not bytes: a UTF-8 continuation byte does not count.
int characterCount(std::string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
}

}  // namespace

std::string searchRequest(std::string_view dataServer, std::string_view term,
                          std::string_view speed) {
    std::string request(texts::kScheme);
    request.append(dataServer).append(texts::kCataloguePath).append(texts::kSearchProduct);
    for (const char c : term) {
        request.push_back(c == ' ' ? '+' : c);
    }
    request.append(speedEnding(speed)).append(texts::kVersion);
    return request;
}

void VideoSearch::load() {
    CatalogueView& view = p_.view;
    view.setPlayTimeText({});
    view.setBandwidthText({});
    view.setStationsText(std::string("0").append(texts::kItemsSuffix));
    p_.lists.lstStations.clear();
    view.setPlayTimeVisible(true);  // the parser's search mode
    p_.lists.lstStations.clear();
    view.setStationListHeight(kListHeightFull);
    p_.comboS.setText(std::string(texts::kVideoSearch));
}

VideoSearch::Outcome VideoSearch::search(std::string_view term) {
    using Buttons = Prompts::Buttons;
    using Icon = Prompts::Icon;
    SearchForm& form = p_.form;
    if (characterCount(term) < kShortestTerm) {
        p_.prompts.message(texts::kSearchTermTooShort, Buttons::Ok, Icon::Critical);
        return Outcome::TermTooShort;
    }

    form.setOkEnabled(false);
    form.setTermEnabled(false);
    p_.state.stopRequested = false;
    searching_ = true;
    form.setBusy(true);

    progressMaximum_ = kProgressMaximum;
    ticks_ = 0;
    setProgress(std::min(progress_, progressMaximum_));
    form.setTimerRunning(true);

    const std::string speed = p_.settings.readText(texts::kKeySpeed, texts::kBroadband);
    const std::string document = p_.fetcher.GetDoc(searchRequest(p_.state.dataServer, term, speed));
    form.setTimerRunning(false);

    SBList& lstStations = p_.lists.lstStations;
    if (!document.empty()) {
        lstStations.setSorted(true);
        p_.catalogue.extract(document, ExtractMode::Search);
        lstStations.setSorted(false);
    }

    setProgress(0);
    form.setTimerRunning(false);
    form.setBusy(false);
    form.setTermEnabled(true);
    searching_ = false;
    form.setOkEnabled(true);

    if (lstStations.count() == 0) {
        p_.prompts.message(texts::kSearchNothingFound, Buttons::Ok, Icon::Information);
        setProgress(0);
        form.setTerm({});
        form.setOkCaption(texts::kSearchButtonAfterNothing);
        form.setTimerRunning(false);
        form.setTermEnabled(true);
        form.setBusy(false);
        form.focusTerm();
        return Outcome::NothingFound;
    }
    p_.view.setStationsText(std::to_string(lstStations.count()).append(texts::kItemsSuffix));
    setProgress(0);
    form.setTermEnabled(true);
    form.closeForm();
    return Outcome::Found;
}

void VideoSearch::tick() {
    ++ticks_;
    if (ticks_ > kTicksWrap) {
        ticks_ = 0;
    }
    setProgress(ticks_);
}

void VideoSearch::setProgress(int value) {
    if (value < 0 || value > progressMaximum_) {
        return;  // the bar keeps its last value
    }
    progress_ = value;
    p_.form.showProgress(progress_, progressMaximum_);
}

}  // namespace kinvo
