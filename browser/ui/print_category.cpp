#include "browser/ui/print_category.h"

#include "browser/core/browser.h"
#include "browser/core/catalogue.h"
#include "browser/core/catalogue_view.h"
#include "browser/core/discovery.h"
#include "browser/core/video_search.h"
#include "browser/ui/stream_prompts.h"

#include <QCoreApplication>

#include <functional>

namespace kinvo {
namespace {

// A window nobody sees: only the search-mode switch has to be remembered.
class NoWindow : public CatalogueView {
  public:
    void setWindowEnabled(bool) override {}
    void setBusy(bool) override {}
    void setStatText(std::string_view) override {}
    void setStationsText(std::string_view) override {}
    void setBandwidthText(std::string_view) override {}
    void setRateFrameVisible(bool) override {}
    void setRateButtonVisible(bool) override {}
    void setPlayTimeVisible(bool visible) override { playTime_ = visible; }
    bool playTimeVisible() const override { return playTime_; }
    void setPlayTimeText(std::string_view) override {}
    void setStationListVisible(bool) override {}
    void setStationListHeight(int) override {}
    void openVideoSearch() override {}
    void layOut() override {}

  private:
    bool playTime_ = false;
};

// A search dialog nobody sees.
class NoForm : public SearchForm {
  public:
    void setTermEnabled(bool) override {}
    void setTerm(std::string_view) override {}
    void focusTerm() override {}
    void setOkEnabled(bool) override {}
    void setOkCaption(std::string_view) override {}
    void setBusy(bool) override {}
    void showProgress(int, int) override {}
    void setTimerRunning(bool) override {}
    void closeForm() override {}
};

// Discovers the data server, lists what choose puts into the station list and prints it.
int printListing(const BrowserOptions& options, std::FILE* out, std::FILE* messages,
                 const std::function<int(Browser&, Catalogue&, Prompts&, CatalogueView&)>& choose) {
    Browser browser(options);
    StreamPrompts prompts(messages);
    NoWindow view;
    Catalogue catalogue({browser.state, browser.fetcher, browser.settings, browser.lists,
                         browser.comboS, prompts, view, browser.programFolder});

    FindDataServer(
        browser.state, browser.fetcher, prompts, options.discoveryAddress, [](std::string_view) {},
        [] { QCoreApplication::processEvents(); });
    if (browser.state.dataServer.empty()) {
        return kExitNoDataServer;
    }
    browser.beginRun(prompts);
    catalogue.FillCategories();
    const int result = choose(browser, catalogue, prompts, view);

    const SBList& stations = browser.lists.lstStations;
    for (int i = 0; i < stations.count(); ++i) {
        const std::string line = stations.text(i) + '\t' + std::to_string(stations.number(i)) +
                                 '\t' + stations.tag(i) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fflush(out);
    browser.endRun();
    return result;
}

}  // namespace

int printCategory(const BrowserOptions& options, const std::string& category, std::FILE* out,
                  std::FILE* messages) {
    return printListing(
        options, out, messages,
        [&category](Browser& browser, Catalogue& catalogue, Prompts&, CatalogueView&) {
            browser.comboS.setText(category);
            catalogue.ComboS_Click();
            return kExitListed;
        });
}

int printSearch(const BrowserOptions& options, const std::string& term, std::FILE* out,
                std::FILE* messages) {
    return printListing(
        options, out, messages,
        [&term](Browser& browser, Catalogue& catalogue, Prompts& prompts, CatalogueView& view) {
            NoForm form;
            VideoSearch search({browser.state, browser.fetcher, browser.settings, browser.lists,
                                browser.comboS, prompts, view, catalogue, form});
            search.load();
            return search.search(term) == VideoSearch::Outcome::TermTooShort ? kExitTermTooShort
                                                                             : kExitListed;
        });
}

}  // namespace kinvo
