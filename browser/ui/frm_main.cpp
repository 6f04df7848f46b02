#include "browser/ui/frm_main.h"

#include "browser/core/browser.h"
#include "browser/core/close_box.h"
#include "browser/core/display_text.h"
#include "browser/core/mouse_hook.h"
#include "browser/core/play_station.h"
#include "browser/core/player_page.h"
#include "browser/core/prompts.h"
#include "browser/core/settings_store.h"
#include "browser/core/shell_open.h"
#include "browser/core/texts.h"
#include "browser/core/web_links.h"
#include "browser/ui/always_on_top.h"
#include "browser/ui/combo_binding.h"
#include "browser/ui/frm_about.h"
#include "browser/ui/frm_conn.h"
#include "browser/ui/frm_search.h"
#include "browser/ui/frm_setup.h"
#include "browser/ui/frm_splash.h"
#include "browser/ui/list_binding.h"
#include "browser/ui/picture_button.h"
#include "browser/ui/pictures.h"
#include "browser/ui/qt_text.h"
#include "browser/ui/right_release_filter.h"
#include "browser/ui/station_list_binding.h"
#include "browser/ui/stored_colour.h"
#include "browser/web/control_window.h"
#include "browser/web/engine_web_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>

namespace kinvo {
namespace {

// Design sizes in twips.
constexpr int kWindowWidth = 12000;
constexpr int kWindowHeight = 9500;
constexpr int kListLeft = 900;
constexpr int kListTop = 700;
constexpr int kListWidth = 8400;
constexpr int kButtonSize = 600;
constexpr int kLabelHeight = 240;

}  // namespace

frmMain::frmMain(Browser& browser, Prompts& prompts, ShellOpener& shell, WaveOut& waveOut,
                 web::ComponentFactory& components)
    : browser_(browser),
      prompts_(prompts),
      shell_(shell),
      catalogue_({browser.state, browser.fetcher, browser.settings, browser.lists, browser.comboS,
                  prompts, *this, browser.programFolder}),
      volume_(waveOut, *this),
      life_({browser, catalogue_, prompts, shell, volume_, *this,
             [] { QCoreApplication::processEvents(); }}),
      inputBox_(this),
      favorites_({browser.lists, browser.comboS, prompts, *this, catalogue_,
                  favoritesFilePath(browser.programFolder)}),
      stationListEvents_({browser.lists, *this, [this] { startStation(); }, favorites_, inputBox_}),
      buttons_(std::make_unique<PictureButtonGroup>()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(programIcon());
    const TwipScale s = scale();
    resize(s.toPixels(kWindowWidth), s.toPixels(kWindowHeight));
    connectionDialog_ = [this] {
        frmConn dialog(browser_.settings, prompts_, this);
        dialog.exec();
    };

    menuBar_ = new QMenuBar(this);
    menu_ = buildMainMenu(*menuBar_);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));

    // Web1, the player page's web view, below everything else.
    web_ = new web::EngineWebView(client_, components);
    Web1 = web_->view();
    Web1->setObjectName(QStringLiteral("Web1"));
    Web1->setProperty(kWindowClassProperty, QByteArray(kWebDocumentClass.data()));
    Web1->setContextMenuPolicy(Qt::NoContextMenu);
    Web1->hide();
    Web1->installEventFilter(this);
    // The playback control's window lies beside Web1, not inside it: it names its own class.
    QWidget* playerWindow = web_->controlWindow();
    playerWindow->setObjectName(QStringLiteral("playerWindow"));
    playerWindow->setProperty(kWindowClassProperty, QByteArray(kPlayerWindowClass.data()));

    buildStationPanel();

    lblStat = new QLabel(client_);
    lblStat->setObjectName(QStringLiteral("lblStat"));
    lblStat->setAlignment(Qt::AlignCenter);
    lblStat->resize(s.toPixels(kStatWidth), s.toPixels(kStatHeight));
    lblStat->hide();

    buildVolumeDisplay();

    TrayX1 = new QSystemTrayIcon(this);
    connect(TrayX1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) {
            restoreFromTray();
        }
    });

    new ListBinding(browser.lists.lstStations, *lstStations);
    new ComboBinding(browser.comboS, *comboS, [this] { catalogue_.ComboS_Click(); });
    new StationListBinding(stationListEvents_, *lstStations);
    connectMenu();
    applyColours();
    Form_Resize();
}

frmMain::~frmMain() {
    removeMouseHook();
}

void frmMain::buildStationPanel() {
    const TwipScale s = scale();
    const auto rect = [&s](int l, int t, int w, int h) {
        return QRect(s.toPixels(l), s.toPixels(t), s.toPixels(w), s.toPixels(h));
    };
    frameStations = new QFrame(client_);
    frameStations->setObjectName(QStringLiteral("frameStations"));
    frameStations->resize(s.toPixels(kPanelWidth), s.toPixels(kPanelHeight));
    frameStations->setStyleSheet(QStringLiteral(
        "QLabel { color: #dfe8ff; } QLabel#Picture1 { background: transparent; }"
        " QListView { background: #f4f7ff; color: #0a1c4a; border: 1px solid #8fb4ff; }"));

    Picture1 = new QLabel(frameStations);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(0, 0, frameStations->width(), frameStations->height());
    Picture1->setPixmap(picture(QStringLiteral("panel"), Picture1->size()));
    Picture1->installEventFilter(this);

    Label6 = new QLabel(qtext(texts::kSelectCategory), frameStations);
    Label6->setGeometry(rect(5400, 360, 3500, 240));
    comboS = new QComboBox(frameStations);
    comboS->setGeometry(rect(5400, 600 - 20, 3500, 330));
    lstStations = new QListView(frameStations);
    lstStations->setObjectName(QStringLiteral("lstStations"));
    lstStations->setGeometry(rect(kListLeft, kListTop + 300, kListWidth, 4900));
    lblStations = new QLabel(frameStations);
    lblStations->setObjectName(QStringLiteral("lblStations"));
    // Above the list, left of the category box: the count, the bandwidth and, below it, the play
    // time.
    lblStations->setGeometry(rect(kListLeft, 420, 1600, 270));
    lblBandwidth = new QLabel(frameStations);
    lblBandwidth->setObjectName(QStringLiteral("lblBandwidth"));
    lblBandwidth->setGeometry(rect(kListLeft + 1600, 420, 2900, 270));
    lblLen = new QLabel(frameStations);
    lblLen->setObjectName(QStringLiteral("lblLen"));
    lblLen->setGeometry(rect(kListLeft + 1600, 690, 2900, 270));
    lblLen->hide();
    frameRate = new QFrame(frameStations);
    frameRate->setFrameShape(QFrame::StyledPanel);
    frameRate->setGeometry(rect(kListLeft, kListTop + 300 + 4080 + 60, kListWidth, 700));
    frameRate->hide();
    buildRatingPanel();

    const QSize button(s.toPixels(kButtonSize), s.toPixels(kButtonSize));
    const auto makeButton = [&](const char* name, std::string_view tip) {
        auto* b = new PictureButton(
            *buttons_, picture(QStringLiteral("%1_normal").arg(name), button),
            picture(QStringLiteral("%1_highlight").arg(name), button), frameStations);
        b->setToolTip(qtext(tip));
        b->resize(button);
        return b;
    };
    const auto makeLabel = [&](std::string_view caption) {
        auto* label = new QLabel(qtext(caption), frameStations);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    };
    picTV = makeButton("fav", texts::kAddToFavoritesTip);
    picTV->setObjectName(QStringLiteral("picTV"));
    Label3 = makeLabel(texts::kAddToFavoritesCaption);
    picSearch = makeButton("search", texts::kVideoSearchTip);
    picSearch->setObjectName(QStringLiteral("picSearch"));
    Label5 = makeLabel(texts::kVideoSearchCaption);
    picRate = makeButton("rate", texts::kRateTip);
    picRate->setObjectName(QStringLiteral("picRate"));
    Label4 = makeLabel(texts::kRateCaption);
    picRate->hide();
    Label4->hide();
    placeStationPanelContents();

    connect(picTV, &PictureButton::clicked, this, [this] { favorites_.add(); });
    connect(picSearch, &PictureButton::clicked, this, [this] {
        browser_.comboS.setText(std::string(texts::kVideoSearch));
        catalogue_.ComboS_Click();
    });
    connect(picRate, &PictureButton::clicked, this, [this] {
        picRate->setCursor(pointerImage(2));
        // With no station selected the page opens without a name; it asks to choose one.
        const SBList& list = browser_.lists.lstStations;
        const int current = list.currentIndex();
        const std::string name = current >= 0 ? list.text(current) : std::string();
        ShellOpen(rateAddress(vendorSite(browser_.options.discoveryAddress), name), shell_,
                  prompts_);
    });
}

void frmMain::buildRatingPanel() {
    const TwipScale s = scale();
    const auto rect = [&s](int l, int t, int w, int h) {
        return QRect(s.toPixels(l), s.toPixels(t), s.toPixels(w), s.toPixels(h));
    };
    // The marks in a row on the left, the notes beside them.
    constexpr int kMarkSize = 240;
    const QPixmap mark = picture(QStringLiteral("mark"), rect(0, 0, kMarkSize, kMarkSize).size());
    for (int i = 0; i < kRatingMarks; ++i) {
        pr1[static_cast<std::size_t>(i)] = new QLabel(frameRate);
        QLabel* m = pr1[static_cast<std::size_t>(i)];
        m->setObjectName(QStringLiteral("pr1_%1").arg(i));
        m->setPixmap(mark);
        m->setGeometry(rect(100 + i * (kMarkSize + 20), 230, kMarkSize, kMarkSize));
        m->hide();
    }
    lblNotes = new QLabel(frameRate);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setWordWrap(true);
    lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblNotes->setGeometry(rect(1500, 40, kListWidth - 1600, 620));
}

void frmMain::setStationPlayer(StationPlayer& player) {
    player_ = &player;
    starter_ = std::make_unique<StationStarter>(
        StationStarter::Parts{browser_.state, browser_.fetcher, browser_.lists, browser_.comboS,
                              *this, player, shell_, prompts_});
}

void frmMain::startStation() {
    if (starter_) {
        starter_->start();
    }
}

void frmMain::placeStationPanelContents() {
    const TwipScale s = scale();
    const auto px = [&s](int twips) { return s.toPixels(twips); };
    const auto below = [&](QWidget* picture, int offset) {
        return picture->y() + picture->height() + px(offset);
    };
    if (!browser_.state.largeFonts) {
        picTV->move(px(102), px(900));
        Label3->setGeometry(px(0), below(picTV, 0), px(900), px(2 * kLabelHeight));
        picSearch->move(px(102), px(2300));
        Label5->setGeometry(px(0), below(picSearch, 0), px(900), px(3 * kLabelHeight));
        picRate->move(px(102), px(3800));
        Label4->setGeometry(px(0), below(picRate, 0), px(900), px(kLabelHeight));
        return;
    }
    const LargeFontsPlacement p = largeFontsPlacement(browser_.comboS.text());
    frameStations->resize(px(p.panelWidth), frameStations->height());
    Picture1->resize(px(p.panelWidth), Picture1->height());
    comboS->setGeometry(px(p.comboS.left), px(p.comboS.top), px(p.comboS.width),
                        std::max(px(p.comboS.height), comboS->sizeHint().height()));
    Label6->move(px(p.label6Left), px(p.label6Top));
    lstStations->setGeometry(px(p.lstStations.left), px(p.lstStations.top), px(p.lstStations.width),
                             px(p.lstStations.height));
    picTV->setGeometry(px(p.picTV.left), px(p.picTV.top), px(p.picTV.width), picTV->height());
    Label3->setText(qtext(texts::kAddToFavoriteLargeFonts));
    Label3->setGeometry(px(p.label3Left), below(picTV, p.label3BelowPicture), px(p.label3Width),
                        Label3->height());
    picSearch->setGeometry(px(p.picSearch.left), px(p.picSearch.top), px(p.picSearch.width),
                           picSearch->height());
    Label5->move(px(p.label5Left), below(picSearch, p.label5BelowPicture));
    picRate->setGeometry(px(p.picRate.left), px(p.picRate.top), px(p.picRate.width),
                         picRate->height());
    Label4->setGeometry(px(p.label4Left), below(picRate, p.label4BelowPicture), px(p.label4Width),
                        Label4->height());
    frameRate->move(px(p.frameRateLeft), px(p.frameRateTop));
}

void frmMain::buildVolumeDisplay() {
    const TwipScale s = scale();
    frameVol = new QFrame(client_);
    frameVol->setObjectName(QStringLiteral("frameVol"));
    frameVol->resize(s.toPixels(kVolWidth), s.toPixels(kVolHeight));
    lblV = new QLabel(qtext(texts::kVolumeCaption), frameVol);
    lblV->setObjectName(QStringLiteral("lblV"));
    lblV->setAlignment(Qt::AlignCenter);
    lblV->setGeometry(0, 0, s.toPixels(5412), s.toPixels(612));
    lblV2 = new QLabel(frameVol);
    lblV2->setObjectName(QStringLiteral("lblV2"));
    lblV2->setAlignment(Qt::AlignCenter);
    lblV2->setGeometry(0, s.toPixels(600), s.toPixels(kVolWidth), s.toPixels(735));
    frameVol->hide();
    timerVol = new QTimer(this);
    timerVol->setSingleShot(true);
    timerVol->setInterval(kVolumeDisplayMs);
    connect(timerVol, &QTimer::timeout, frameVol, &QWidget::hide);
}

void frmMain::connectMenu() {
    connect(menu_.menuStations, &QAction::triggered, this,
            [this] { stationListEvents_.menuStations(); });
    connect(menu_.menuAddFav, &QAction::triggered, this, [this] { favorites_.add(); });
    connect(menu_.menuFavs, &QAction::triggered, this, [this] { favorites_.menuFavs(); });
    connect(menu_.menuSetup, &QAction::triggered, this, [this] { prompts_.showSettingsDialog(); });
    connect(menu_.menuExit, &QAction::triggered, this, &QWidget::close);
    connect(menu_.menuVolDown, &QAction::triggered, this, [this] { volume_.vol(false); });
    connect(menu_.menuVolUp, &QAction::triggered, this, [this] { volume_.vol(true); });
    // Play does what the station list's start event does for the selected station.
    connect(menu_.menuPlay, &QAction::triggered, this, [this] { startStation(); });
    connect(menu_.menuStop, &QAction::triggered, this, [this] {
        if (playerPage_ != nullptr) {
            playerPage_->menuStop();
        }
    });
    connect(menu_.menuSmall, &QAction::triggered, this, [this] { setZoom(33); });
    connect(menu_.menuMedium, &QAction::triggered, this, [this] { setZoom(50); });
    connect(menu_.menuLarge, &QAction::triggered, this, [this] { setZoom(75); });
    connect(menu_.menuFill, &QAction::triggered, this, [this] { setZoom(100); });
    const std::string site = vendorSite(browser_.options.discoveryAddress);
    const auto link = [this](QAction* action, std::string address) {
        connect(action, &QAction::triggered, this,
                [this, address] { ShellOpen(address, shell_, prompts_); });
    };
    link(menu_.menuHelp, helpAddress(site));
    link(menu_.menuSupport, supportAddress(site));
    link(menu_.menuVisit, visitAddress(site));
    connect(menu_.menuAbout, &QAction::triggered, this, [this] {
        frmAbout about(*this, browser_.settings);
        about.exec();
    });
}

TwipScale frmMain::scale() const {
    return TwipScale(logicalDpiX());
}

bool frmMain::startUp() {
    return life_.startUp();
}

void frmMain::Form_Resize() {
    const TwipScale s = scale();
    if (browser_.state.largeFonts && !isMinimized()) {
        placeStationPanelContents();
    }
    const QRect outer = frameGeometry();
    LayoutInput in;
    in.width = s.toTwips(outer.width());
    in.height = s.toTwips(outer.height());
    in.minimised = isMinimized();
    in.stat = {0, 0, s.toTwips(lblStat->width()), s.toTwips(lblStat->height())};
    in.volume = {0, 0, s.toTwips(frameVol->width()), s.toTwips(frameVol->height())};
    in.volumeVisible = !frameVol->isHidden();
    in.panel = {0, 0, s.toTwips(frameStations->width()), s.toTwips(frameStations->height())};
    if (const auto out = layOutMainWindow(in)) {
        menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
        client_->setGeometry(0, menuBar_->height(), width(), height() - menuBar_->height());
        const auto place = [&s](QWidget* w, const TwipRect& r) {
            w->setGeometry(s.toPixels(r.left), s.toPixels(r.top), s.toPixels(r.width),
                           s.toPixels(r.height));
        };
        place(Web1, out->web1);
        place(lblStat, out->stat);
        if (out->volume) {
            place(frameVol, *out->volume);
        }
        place(frameStations, out->panel);
        return;
    }
    if (browser_.settings.readText(texts::kKeyTray, "0") == "1") {
        TrayX1->show();
        hide();
    } else {
        TrayX1->hide();
    }
}

void frmMain::setZoom(int percent) {
    zoomPercent_ = percent;
    // The current station is drawn again at the new width; before any station nothing is.
    if (!browser_.state.currentAddress.empty() && player_ != nullptr) {
        std::string name;
        player_->BuildPlayerPage(browser_.state.currentAddress, name);
    }
}

void frmMain::restoreFromTray() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    TrayX1->hide();
    if (!isVisible()) {
        show();
    }
    activateWindow();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    life_.shutdown();
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Web1 && event->type() == QEvent::Show) {
        // The status label is drawn on the window itself: a shown page covers it.
        lblStat->hide();
    }
    if (watched == Picture1 && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const TwipScale s = scale();
        const QPoint at = press->position().toPoint();
        if (inCloseBox(s.toTwips(at.x()), s.toTwips(at.y()))) {
            frameStations->hide();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// CatalogueView

void frmMain::setWindowEnabled(bool enabled) {
    setEnabled(enabled);
}

void frmMain::setBusy(bool busy) {
    if (busy != busy_) {
        busy_ = busy;
        if (busy) {
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        } else {
            QApplication::restoreOverrideCursor();
        }
    }
}

void frmMain::setStatText(std::string_view text) {
    lblStat->setText(qtext(text));
}

void frmMain::setStationsText(std::string_view text) {
    lblStations->setText(qtext(text));
}

void frmMain::setBandwidthText(std::string_view text) {
    lblBandwidth->setText(qtext(text));
}

void frmMain::setRateFrameVisible(bool visible) {
    frameRate->setVisible(visible);
}

void frmMain::setRateButtonVisible(bool visible) {
    picRate->setVisible(visible);
    Label4->setVisible(visible);
}

void frmMain::setPlayTimeVisible(bool visible) {
    lblLen->setVisible(visible);
}

bool frmMain::playTimeVisible() const {
    return !lblLen->isHidden();
}

void frmMain::setStationListVisible(bool visible) {
    lstStations->setVisible(visible);
}

void frmMain::setStationListHeight(int twips) {
    lstStations->resize(lstStations->width(), scale().toPixels(twips));
}

void frmMain::openVideoSearch() {
    frmSearch search(browser_, catalogue_, *this, prompts_, shell_, *this);
    search.exec();
}

// MainWindowHost

void frmMain::showSplash() {
    splash_ = std::make_unique<frmSplash>();
    splash_->show();
    QCoreApplication::processEvents();
}

void frmMain::setSplashStatus(std::string_view text) {
    if (splash_) {
        splash_->setStatus(text);
    }
}

void frmMain::closeSplash() {
    splash_.reset();
}

std::int64_t frmMain::screenColourCount() const {
    const QScreen* s = screen();
    const int depth = std::clamp(s != nullptr ? s->depth() : 24, 1, 62);
    return std::int64_t{1} << depth;
}

void frmMain::installMouseHook() {
    if (mouseHook_ == nullptr) {
        mouseHook_ = new RightReleaseFilter(this);
        qApp->installEventFilter(mouseHook_);
    }
}

void frmMain::removeMouseHook() {
    if (mouseHook_ != nullptr) {
        qApp->removeEventFilter(mouseHook_);
        delete mouseHook_;
        mouseHook_ = nullptr;
    }
}

void frmMain::closeMainWindow() {
    close();
}

void frmMain::showConnectionDialog() {
    connectionDialog_();
}

void frmMain::showSettingsDialog() {
    frmSetup dialog(browser_.settings, prompts_, *this, *this);
    dialog.exec();
}

void frmMain::setCaption(std::string_view caption) {
    setWindowTitle(qtext(caption));
}

// Position and size are both the client area's, read and set alike. The frame's corner is no
// fit: the window has its native window before it is shown (the player's window needs one), and
// a window manager then puts the client area, not the frame, at a position set with move(), so a
// window stored by its frame came back a title bar higher on every start.
TwipRect frmMain::windowGeometry() const {
    const TwipScale s = scale();
    const QRect client = geometry();
    return {s.toTwips(client.x()), s.toTwips(client.y()), s.toTwips(client.width()),
            s.toTwips(client.height())};
}

void frmMain::setWindowGeometry(const TwipRect& g) {
    const TwipScale s = scale();
    setGeometry(s.toPixels(g.left), s.toPixels(g.top), s.toPixels(g.width), s.toPixels(g.height));
}

int frmMain::screenWidth() const {
    return scale().toTwips(screen()->geometry().width());
}

int frmMain::screenHeight() const {
    return scale().toTwips(screen()->geometry().height());
}

bool frmMain::windowMinimisedOrMaximised() const {
    return (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) != 0;
}

void frmMain::showWindowNormal() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}

void frmMain::setAlwaysOnTop(bool onTop) {
    if (onTop) {
        SetAlwaysOnTop(*this);
    } else {
        ClearAlwaysOnTop(*this);
    }
}

void frmMain::setWindowVisible(bool visible) {
    setVisible(visible);
}

int frmMain::desktopLogicalDpiX() const {
    // The same resolution the twips are converted with.
    return logicalDpiX();
}

void frmMain::setTrayIcon(std::string_view tooltip) {
    TrayX1->setIcon(windowIcon());
    TrayX1->setToolTip(qtext(tooltip));
}

std::string frmMain::listFontName() const {
    return lstStations->font().family().toStdString();
}

void frmMain::setListFontName(std::string_view name) {
    QFont font = lstStations->font();
    font.setFamily(qtext(name));
    lstStations->setFont(font);
}

int frmMain::listFontSize() const {
    return lstStations->font().pointSize();
}

void frmMain::setListFontSize(int points) {
    // Qt takes no size below 1; such a size is out of range and corrected to 10 right after.
    QFont font = lstStations->font();
    font.setPointSize(std::max(points, 1));
    lstStations->setFont(font);
}

void frmMain::setBackgroundColour(std::int64_t colour) {
    background_ = colour;
    applyColours();
}

void frmMain::applyColours() {
    const QString background = fromStoredColour(background_).name();
    const QString sheet = QStringLiteral("background: %1; color: #ffffff;").arg(background);
    client_->setStyleSheet(QStringLiteral("#client { background: %1; }").arg(background));
    for (QLabel* label : {lblV, lblV2, lblStat}) {
        label->setStyleSheet(sheet + QStringLiteral(" font-weight: bold;"));
    }
    frameVol->setStyleSheet(QStringLiteral("#frameVol { background: %1; }").arg(background));
}

void frmMain::showStatLabel() {
    if (Web1->isVisible()) {
        return;  // covered by the page
    }
    lblStat->show();
    lblStat->raise();
    lblStat->repaint();
}

void frmMain::hideStatLabel() {
    lblStat->hide();
}

void frmMain::setStationPanelVisible(bool visible) {
    frameStations->setVisible(visible);
}

void frmMain::StopPlayer() {
    if (playerPage_ != nullptr) {
        playerPage_->StopPlayer();
    } else {
        Web1->hide();
    }
}

WebView& frmMain::web1() {
    return *web_;
}

void frmMain::showStationList() {
    frameStations->show();
    lstStations->show();
    lstStations->setFocus();
}

void frmMain::closeOtherWindows() {
    splash_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible()) {
            w->close();
        }
    }
}

// VolumeView

void frmMain::showVolumeDisplay() {
    frameVol->show();
    frameVol->raise();
}

void frmMain::startVolumeTimer() {
    timerVol->start();
}

void frmMain::setVolumeMarks(const std::string& marks) {
    lblV2->setText(qtext(marks));
}

// StationView

bool frmMain::stationFrameVisible() const {
    return !frameStations->isHidden();
}

void frmMain::setStationFrameVisible(bool visible) {
    frameStations->setVisible(visible);
}

void frmMain::focusStationList() {
    lstStations->setFocus();
}

void frmMain::setStatVisible(bool visible) {
    if (visible) {
        showStatLabel();
    } else {
        hideStatLabel();
    }
}

void frmMain::setPlayTimeText(std::string_view text) {
    lblLen->setText(qtext(text));
}

void frmMain::setNotesText(std::string_view text) {
    lblNotes->setText(displayText(text));
}

void frmMain::setRatingMarks(int shown) {
    for (int i = 0; i < kRatingMarks; ++i) {
        pr1[static_cast<std::size_t>(i)]->setVisible(i < shown);
    }
}

void frmMain::sendF2ToActiveWindow() {
    QWidget* window = QApplication::activeWindow();
    if (window == nullptr) {
        return;
    }
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    // Sent, not spontaneous: the application tries it as a shortcut first.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F2, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

}  // namespace kinvo
