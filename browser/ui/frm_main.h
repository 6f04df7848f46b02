#pragma once
// frmMain, the browser's main window. Two layers: Web1 covers the window (its border outside
// it), and above it float the station panel frameStations (category box, station list, picture
// buttons, the background picture with its close box), the status label lblStat and the volume
// display frameVol. It binds the widgets to the core's lists and category box, carries out what
// the catalogue routines, start-up and shutdown, and the volume commands change on the window,
// owns the menu bar, the tray icon TrayX1 and the mouse hook.
//
// Start-up runs once, from the event loop (startUp); it shows the window itself. Closing the
// window, whatever asks, runs the shutdown once.

#include "browser/core/catalogue.h"
#include "browser/core/catalogue_view.h"
#include "browser/core/favorites.h"
#include "browser/core/main_window_host.h"
#include "browser/core/player_view.h"
#include "browser/core/startup.h"
#include "browser/core/station_details.h"
#include "browser/core/station_list_events.h"
#include "browser/core/station_view.h"
#include "browser/core/volume_control.h"
#include "browser/ui/main_menu.h"
#include "browser/ui/qt_input_box.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QListView;
class QMenuBar;
class QSystemTrayIcon;
class QTimer;

namespace kinvo {

class ComboBinding;
class ListBinding;
class PictureButton;
class PictureButtonGroup;
class Prompts;
class RightReleaseFilter;
class ShellOpener;
class PlayerPage;
class StationPlayer;
class StationStarter;
class WaveOut;
class WebView;
class frmSplash;
struct Browser;
namespace web {
class EngineWebView;
class ComponentFactory;
}  // namespace web

class frmMain : public QWidget,
                public CatalogueView,
                public MainWindowHost,
                public VolumeView,
                public PlayerView,
                public StationView {
  public:
    // components serves the objects of the player pages that Web1 shows.
    frmMain(Browser& browser, Prompts& prompts, ShellOpener& shell, WaveOut& waveOut,
            web::ComponentFactory& components);
    ~frmMain() override;

    // Start-up; false when no data server could be used (the window has then closed).
    bool startUp();
    // What the connection-type dialog is; frmConn, modal, unless replaced (tests).
    void setConnectionDialog(std::function<void()> show) { connectionDialog_ = std::move(show); }
    // The settings dialog frmSetup, modal over this window; returns when it has closed.
    void showSettingsDialog();
    // Web1 as the player page builder drives it.
    WebView& web1();
    // The player page builder that Stop and shutdown use.
    void setPlayerPage(PlayerPage* page) { playerPage_ = page; }
    // What starts a station (double click, Space, Enter in the station list, Play) and draws the
    // current one again at a new zoom: it stops what plays and builds the station's page. Until
    // one is set the start events only open a pending help page. player must outlive the window.
    void setStationPlayer(StationPlayer& player);

    // Places Web1, the status label, the volume display and the station panel for the window's
    // size; minimised, hides the window to the tray when "Tray" is "1".
    void Form_Resize();
    // The zoom entries: the new width, then the current station rebuilt at it (nothing more
    // before any station was played).
    void setZoom(int percent);
    int zoomPercent() const { return zoomPercent_; }
    // The tray icon's click.
    void restoreFromTray();

    const MainMenu& menu() const { return menu_; }
    VolumeControl& volume() { return volume_; }
    BrowserLife& life() { return life_; }
    QSystemTrayIcon* trayIcon() const { return TrayX1; }

    // CatalogueView
    void setWindowEnabled(bool enabled) override;
    void setBusy(bool busy) override;
    void setStatText(std::string_view text) override;
    void setStationsText(std::string_view text) override;
    void setBandwidthText(std::string_view text) override;
    void setRateFrameVisible(bool visible) override;
    void setRateButtonVisible(bool visible) override;
    void setPlayTimeVisible(bool visible) override;
    bool playTimeVisible() const override;
    void setStationListVisible(bool visible) override;
    void setStationListHeight(int twips) override;
    void openVideoSearch() override;
    void layOut() override { Form_Resize(); }

    // PlayerView (hideStatLabel and layOut as above)
    void showStationList() override;

    // MainWindowHost
    void showSplash() override;
    void setSplashStatus(std::string_view text) override;
    void closeSplash() override;
    std::int64_t screenColourCount() const override;
    void installMouseHook() override;
    void removeMouseHook() override;
    void closeMainWindow() override;
    void showConnectionDialog() override;
    void setCaption(std::string_view caption) override;
    TwipRect windowGeometry() const override;
    void setWindowGeometry(const TwipRect& geometry) override;
    int screenWidth() const override;
    int screenHeight() const override;
    bool windowMinimisedOrMaximised() const override;
    void showWindowNormal() override;
    void setAlwaysOnTop(bool onTop) override;
    void setWindowVisible(bool visible) override;
    int desktopLogicalDpiX() const override;
    void setTrayIcon(std::string_view tooltip) override;
    std::string listFontName() const override;
    void setListFontName(std::string_view name) override;
    int listFontSize() const override;
    void setListFontSize(int points) override;
    std::int64_t backgroundColour() const override { return background_; }
    void setBackgroundColour(std::int64_t colour) override;
    void showStatLabel() override;
    void hideStatLabel() override;
    void setStationPanelVisible(bool visible) override;
    void StopPlayer() override;
    void resetZoom() override { zoomPercent_ = 50; }
    void closeOtherWindows() override;

    // VolumeView
    void showVolumeDisplay() override;
    void startVolumeTimer() override;
    void setVolumeMarks(const std::string& marks) override;

    // StationView (the rest is shared with CatalogueView and MainWindowHost)
    bool stationFrameVisible() const override;
    void setStationFrameVisible(bool visible) override;
    void focusStationList() override;
    void setStatVisible(bool visible) override;
    void setPlayTimeText(std::string_view text) override;
    void setNotesText(std::string_view text) override;
    void setRatingMarks(int shown) override;
    void sendF2ToActiveWindow() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildStationPanel();
    void buildVolumeDisplay();
    void buildRatingPanel();
    void startStation();
    void connectMenu();
    void placeStationPanelContents();
    void applyColours();
    TwipScale scale() const;

    Browser& browser_;
    Prompts& prompts_;
    ShellOpener& shell_;
    Catalogue catalogue_;
    VolumeControl volume_;
    BrowserLife life_;
    QtInputBox inputBox_;
    Favorites favorites_;
    std::unique_ptr<StationStarter> starter_;
    StationListEvents stationListEvents_;
    std::function<void()> connectionDialog_;
    StationPlayer* player_ = nullptr;  // starts stations and draws the current one again
    PlayerPage* playerPage_ = nullptr;
    web::EngineWebView* web_;  // owned by client_, as its view is
    std::unique_ptr<frmSplash> splash_;
    std::unique_ptr<PictureButtonGroup> buttons_;
    RightReleaseFilter* mouseHook_ = nullptr;
    bool busy_ = false;
    int zoomPercent_ = 50;
    std::int64_t background_ = 0xC00000;  // dark blue, as "BKColor" stores it

    QMenuBar* menuBar_;
    MainMenu menu_;
    QWidget* client_;  // the window below its menu bar
    QWidget* Web1;
    QFrame* frameStations;
    QLabel* Picture1;
    QLabel* Label6;
    QComboBox* comboS;
    QListView* lstStations;
    QLabel* lblStations;
    QLabel* lblBandwidth;
    QLabel* lblLen;
    QFrame* frameRate;
    QLabel* lblNotes;
    std::array<QLabel*, kRatingMarks> pr1;
    PictureButton* picTV;
    QLabel* Label3;
    PictureButton* picSearch;
    QLabel* Label5;
    PictureButton* picRate;
    QLabel* Label4;
    QLabel* lblStat;
    QFrame* frameVol;
    QLabel* lblV;
    QLabel* lblV2;
    QTimer* timerVol;
    QSystemTrayIcon* TrayX1;
};

}  // namespace kinvo
