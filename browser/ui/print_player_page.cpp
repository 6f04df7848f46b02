#include "browser/ui/print_player_page.h"

#include "browser/core/browser.h"
#include "browser/core/player_page.h"
#include "browser/core/player_probes.h"
#include "browser/core/player_view.h"
#include "browser/core/shell_open.h"
#include "browser/core/web_view.h"
#include "browser/ui/stream_prompts.h"

#include <QUrl>

#include <string>

namespace kinvo {
namespace {

// Without a window there is nothing to show, navigate or lay out.
class NoWindow : public WebView, public PlayerView {
  public:
    void navigate(const QString&) override {}
    void stop() override {}
    void hide() override {}
    void show() override {}
    void setNavigationComplete(NavigationComplete) override {}
    void showStationList() override {}
    void hideStatLabel() override {}
    void layOut() override {}
};

class NoShell : public ShellOpener {
  public:
    bool open(std::string_view) override { return false; }
};

}  // namespace

int printPlayerPage(const BrowserOptions& options, PlayerProbes& probes, std::FILE* out,
                    std::FILE* messages) {
    Browser browser(options);
    // The download and help addresses name the data server the discovery address points at.
    browser.state.dataServer =
        QUrl(QString::fromStdString(options.discoveryAddress)).host().toStdString();
    browser.comboS.setText(options.category);
    NoWindow window;
    StreamPrompts prompts(messages);
    NoShell shell;
    const int zoom = options.zoomPercent;
    PlayerPage page({browser.state, browser.settings, browser.comboS, prompts, shell, probes,
                     window, window, browser.programFolder, [zoom] { return zoom; }});
    switch (page.build(*options.playerPage)) {
        case PlayerPage::Outcome::Written:
            std::fprintf(out, "%s\n", page.pagePath().toLocal8Bit().constData());
            return kExitPageWritten;
        case PlayerPage::Outcome::PlayerMissing:
            return kExitPlayerMissing;
        case PlayerPage::Outcome::Nothing:
            std::fprintf(messages, "kinvo: empty address, no page\n");
            return kExitPageNotWritten;
        case PlayerPage::Outcome::WriteFailed:
            std::fprintf(messages, "kinvo: could not write %s\n",
                         page.pagePath().toLocal8Bit().constData());
            return kExitPageNotWritten;
    }
    return kExitPageNotWritten;
}

}  // namespace kinvo
