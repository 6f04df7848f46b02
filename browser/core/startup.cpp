#include "browser/core/startup.h"

#include "browser/core/browser.h"
#include "browser/core/cache_file.h"
#include "browser/core/catalogue.h"
#include "browser/core/discovery.h"
#include "browser/core/list_font.h"
#include "browser/core/main_window_host.h"
#include "browser/core/prompts.h"
#include "browser/core/shell_open.h"
#include "browser/core/texts.h"
#include "browser/core/volume_control.h"
#include "browser/core/web_links.h"
#include "browser/core/window_placement.h"

#include <QFileInfo>

namespace kinvo {

namespace {
constexpr std::int64_t kFewestGoodColours = 256;
}  // namespace

bool BrowserLife::startUp() {
    Browser& b = p_.browser;
    MainWindowHost& host = p_.host;

    host.showSplash();
    FindDataServer(
        b.state, b.fetcher, p_.prompts, b.options.discoveryAddress,
        [&host](std::string_view text) { host.setSplashStatus(text); }, p_.letEventsRun);
    host.closeSplash();

    if (host.screenColourCount() <= kFewestGoodColours) {
        p_.prompts.message(texts::kColourWarning, Prompts::Buttons::Ok, Prompts::Icon::Critical);
    }
    host.installMouseHook();

    if (b.state.dataServer.empty()) {
        host.closeMainWindow();
        return false;
    }

    if (b.settings.readText(texts::kKeyQHShow, "").empty()) {
        b.settings.write(texts::kKeyQHShow, "1");
        ShellOpen(helpAddress(vendorSite(b.options.discoveryAddress)), p_.shell, p_.prompts);
    }
    if (b.settings.readText(texts::kKeySpeed, "").empty()) {
        host.showConnectionDialog();
    }
    host.setCaption(std::string(texts::kTitle) + std::string(texts::kCaptionVersionSeparator) +
                    std::string(texts::kVersion));

    TwipRect placed = startupPlacement(readStoredPlacement(b.settings), host.windowGeometry(),
                                       host.screenWidth(), host.screenHeight());
    host.setWindowGeometry(placed);
    host.layOut();

    GetSettings();

    if (b.settings.readNumber(texts::kKeyAlwaysOnTop, 0) == 1) {
        host.setAlwaysOnTop(true);
    }
    return true;
}

void BrowserLife::GetSettings() {
    Browser& b = p_.browser;
    MainWindowHost& host = p_.host;

    // Favorites.lst is read back and the cache files of the last run go (both in beginRun;
    // neither depends on the values set between them).
    b.beginRun(p_.prompts);
    b.state.largeFonts = host.desktopLogicalDpiX() != 96;
    p_.volume.reset();
    host.resetZoom();

    TwipRect opening = host.windowGeometry();
    opening.width = kOpeningWindowWidth;
    opening.height = kOpeningWindowHeight;
    host.setWindowGeometry(opening);

    host.setTrayIcon(std::string(texts::kTitle) + std::string(texts::kTrayTooltipSeparator) +
                     std::string(texts::kVersion));

    applyListFont(host, b.settings.readText(texts::kKeyFont, ""),
                  b.settings.readText(texts::kKeyFontSize, ""));

    if (const auto colour = b.settings.readNumber(texts::kKeyBKColor, texts::kDefaultBKColor)) {
        host.setBackgroundColour(*colour);
    }

    if (b.settings.readText(texts::kKeyAdultSettings, "").empty()) {
        const Prompts::Answer answer =
            p_.prompts.message(texts::kAdultQuestion, Prompts::Buttons::YesNo, Prompts::Icon::None);
        if (answer == Prompts::Answer::Yes) {
            b.settings.write(texts::kKeyAdultSettings, "1");
        } else {
            p_.prompts.message(texts::kAdultLockNotice, Prompts::Buttons::Ok,
                               Prompts::Icon::Information);
            b.settings.write(texts::kKeyAdultSettings, "0");
        }
    }

    host.layOut();
    host.setWindowVisible(true);
    host.setWindowEnabled(false);
    host.showStatLabel();

    host.StopPlayer();
    b.state.stopRequested = false;

    host.setStationPanelVisible(false);
    b.lists.lstStations.clear();
    b.state.documentText.clear();

    p_.catalogue.FillCategories();

    std::string format = b.settings.readText(texts::kKeyLastFormat, texts::kDefaultCategory);
    if (format != texts::kVideoSearch) {
        if (format.empty()) {
            format = texts::kDefaultCategory;
        }
        b.comboS.setText(format);
        p_.catalogue.ComboS_Click();
        restoreLastStation();
    }

    host.setStationPanelVisible(true);
    host.hideStatLabel();
    host.setWindowEnabled(true);
}

void BrowserLife::restoreLastStation() {
    SBList& list = p_.browser.lists.lstStations;
    const std::string last = p_.browser.settings.readText(texts::kKeyLastStation, "");
    // Every tag contains the empty text: a first run (nothing stored) preselects nothing.
    const int index = last.empty() ? -1 : list.findInTags(last);
    if (index < 0) {
        return;
    }
    // The station found is the one selected item: the first one, which the listing marked,
    // gives way (two marks would look like two stations and count as two for the favorites).
    for (int i = 0; i < list.count(); ++i) {
        list.setSelected(i, i == index);
    }
    list.setCurrentIndex(index);
    if (index > 0) {
        list.setTopIndex(index - 1);
    }
}

void BrowserLife::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    Browser& b = p_.browser;
    MainWindowHost& host = p_.host;

    const std::string& category = b.comboS.text();
    if (category != texts::kVideoSearch) {
        b.settings.write(texts::kKeyLastFormat, category);
        const SBList& list = b.lists.lstStations;
        if (list.currentIndex() >= 0 && list.count() >= 1 && list.currentIndex() < list.count()) {
            b.settings.write(texts::kKeyLastStation, list.tag(list.currentIndex()));
        }
    }
    b.state.stopRequested = true;
    p_.letEventsRun();
    b.fetcher.cancel();
    deleteCacheFiles(b.programFolder);
    host.removeMouseHook();
    host.StopPlayer();
    SaveWindowPlacement();
    host.closeOtherWindows();
}

void BrowserLife::SaveWindowPlacement() {
    MainWindowHost& host = p_.host;
    if (host.windowMinimisedOrMaximised()) {
        host.showWindowNormal();
    }
    p_.letEventsRun();
    storePlacement(p_.browser.settings, host.windowGeometry());
}

}  // namespace kinvo
