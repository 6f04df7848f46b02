#include "browser/ui/print_category.h"

#include "browser/core/browser.h"
#include "browser/core/catalogue.h"
#include "browser/core/catalogue_view.h"
#include "browser/core/discovery.h"
#include "browser/ui/stream_prompts.h"

#include <QCoreApplication>

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
    void setStationListVisible(bool) override {}
    void setStationListHeight(int) override {}
    void openVideoSearch() override {}
    void layOut() override {}

  private:
    bool playTime_ = false;
};

}  // namespace

int printCategory(const BrowserOptions& options, const std::string& category, std::FILE* out,
                  std::FILE* messages) {
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
    browser.comboS.setText(category);
    catalogue.ComboS_Click();

    const SBList& stations = browser.lists.lstStations;
    for (int i = 0; i < stations.count(); ++i) {
        const std::string line = stations.text(i) + '\t' + std::to_string(stations.number(i)) +
                                 '\t' + stations.tag(i) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fflush(out);
    browser.endRun();
    return kExitListed;
}

}  // namespace kinvo
