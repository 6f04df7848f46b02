// The main window's own behaviour under the offscreen platform: menus, the connection dialog,
// picture buttons, the close box, the mouse hook, tray, zoom and the volume display.
#include "browser/core/browser.h"
#include "browser/core/settings_store.h"
#include "browser/core/shell_open.h"
#include "browser/core/station_player.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/recording_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/wave_out.h"
#include "browser/core/web_view.h"
#include "browser/ui/always_on_top.h"
#include "browser/ui/frm_about.h"
#include "browser/ui/frm_conn.h"
#include "browser/ui/frm_main.h"
#include "browser/ui/frm_search.h"
#include "browser/ui/picture_button.h"
#include "browser/web/component_libraries.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

using testing::RecordingShell;
using testing::RecordingWaveOut;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        testing::installCannedCatalogue(fixture);
        SettingsStore settings;
        settings.write("QHShow", "1");
        settings.write("Speed", "Broadband");
        settings.write("AdultSettings", "1");
        ParsedOptions parsed = parseBrowserOptions({"--discovery", fixture.url("/redirect35.asp")});
        browser = std::make_unique<Browser>(*parsed.options);
        window = std::make_unique<frmMain>(*browser, prompts, shell, waveOut, components);
    }

    template <class T>
    T* child(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void press(QWidget* target, QPoint at, Qt::MouseButton button, QEvent::Type type) {
        QMouseEvent event(type, at, target->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    testing::TemporaryHome home;
    testing::HttpFixture fixture;
    testing::ScriptedPrompts prompts;
    RecordingShell shell;
    RecordingWaveOut waveOut;
    std::unique_ptr<Browser> browser;
    web::ComponentLibraries components{QString()};  // none installed
    std::unique_ptr<frmMain> window;
};

TEST_F(MainWindowTest, TheMenuBarIsAsDesigned) {
    const QList<QAction*> menus = window->findChild<QMenuBar*>()->actions();
    QStringList titles;
    for (QAction* m : menus)
        titles << m->text();
    EXPECT_EQ(titles, (QStringList{"&Station", "&Volume", "&Zoom", "&Help"}));

    // caption (empty for a separator), shortcut, enabled
    const std::vector<std::vector<std::tuple<QString, QString, bool>>> expected = {
        {{"&View/Hide Station Menu", "F2", true},
         {"", "", true},
         {"Play", "F3", true},
         {"Stop", "F4", true},
         {"", "", true},
         {"Previous Station", "F11", false},
         {"Next Station", "F12", false},
         {"", "", true},
         {"Add Selected Station to Favorites", "F6", true},
         {"Go to Favorites", "F7", true},
         {"", "", true},
         {"&Setup", "", true},
         {"", "", true},
         {"E&xit", "Ctrl+X", true}},
        {{"Volume Down", "F8", true}, {"Volume Up", "F9", true}},
        {{"Small", "", true}, {"Medium", "", true}, {"Large", "", true}, {"Fill Window", "", true}},
        {{"&Help", "F1", true},
         {"&Support", "", true},
         {"", "", true},
         {"&Visit Kinvo Online", "", true},
         {"", "", true},
         {"&About", "", true}},
    };
    ASSERT_EQ(menus.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QList<QAction*> entries = menus[i]->menu()->actions();
        ASSERT_EQ(entries.size(), static_cast<qsizetype>(expected[i].size())) << i;
        for (int j = 0; j < entries.size(); ++j) {
            const auto& [caption, shortcut, enabled] = expected[i][j];
            SCOPED_TRACE(caption.toStdString());
            EXPECT_EQ(entries[j]->isSeparator(), caption.isEmpty());
            EXPECT_EQ(entries[j]->text(), caption);
            EXPECT_EQ(entries[j]->shortcut().toString(), shortcut);
            EXPECT_EQ(entries[j]->isEnabled(), enabled);
        }
    }
}

TEST_F(MainWindowTest, TheConnectionDialogRefusesToCloseWithoutAChoice) {
    SettingsStore settings;
    settings.write("Speed", "");
    frmConn dialog(settings, prompts);
    dialog.show();
    dialog.cmdOK_Click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompts.shown.size(), 2u);
    for (const auto& shown : prompts.shown) {
        EXPECT_EQ(shown.text, "Please select a connection type.");
        EXPECT_EQ(shown.icon, Prompts::Icon::Critical);
    }
    EXPECT_EQ(settings.readText("Speed", "none"), "");

    const struct {
        QRadioButton* option;
        const char* value;
    } cases[] = {{dialog.Option2, "ALL Content"},
                 {dialog.Option1, "Broadband"},
                 {dialog.Option3, "Dialup (56k Modem)"}};
    for (const auto& c : cases) {
        c.option->click();
        EXPECT_EQ(settings.readText("Speed", ""), c.value);  // stored at once
    }
    dialog.cmdOK_Click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(MainWindowTest, PictureButtonsShareOneHighlight) {
    PictureButtonGroup group;
    QWidget parent;
    QPixmap normal(4, 4), lit(4, 4);
    auto* a = new PictureButton(group, normal, lit, &parent);
    auto* b = new PictureButton(group, normal, lit, &parent);
    int clicks = 0;
    QObject::connect(b, &PictureButton::clicked, [&clicks] { ++clicks; });
    a->point();
    EXPECT_TRUE(a->highlighted());
    EXPECT_FALSE(b->highlighted());
    b->point();
    EXPECT_FALSE(a->highlighted());
    EXPECT_TRUE(b->highlighted());
    EXPECT_EQ(b->cursor().shape(), Qt::BitmapCursor);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(b, &enter);
    EXPECT_EQ(clicks, 1);
}

TEST_F(MainWindowTest, TheCloseBoxStartsAt8310Twips) {
    window->show();
    auto* panel = child<QFrame>("frameStations");
    auto* picture = child<QLabel>("Picture1");
    // 15 twips to the pixel at 96 dpi: 8300 is pixel 553.3, 8310 pixel 554; 100 twips down.
    ASSERT_EQ(window->logicalDpiX(), 96);
    press(picture, QPoint(553, 7), Qt::LeftButton, QEvent::MouseButtonPress);
    EXPECT_TRUE(panel->isVisible());
    press(picture, QPoint(554, 7), Qt::LeftButton, QEvent::MouseButtonPress);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(MainWindowTest, RightReleasesOverThePlayerAreSwallowedOverTheListTheyPass) {
    window->show();
    window->installMouseHook();
    auto* web = child<QWidget>("Web1");
    auto* list = child<QListView>("lstStations");
    EXPECT_EQ(web->contextMenuPolicy(), Qt::NoContextMenu);

    // What reaches a widget after the application's filters.
    struct Catcher : QObject {
        int releases = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            releases += e->type() == QEvent::MouseButtonRelease;
            return false;
        }
    };
    Catcher overWeb, overList, overPlayer;
    web->installEventFilter(&overWeb);
    list->viewport()->installEventFilter(&overList);
    auto* player = child<QWidget>("playerWindow");
    player->installEventFilter(&overPlayer);
    press(web, QPoint(5, 5), Qt::RightButton, QEvent::MouseButtonRelease);
    press(list->viewport(), QPoint(5, 5), Qt::RightButton, QEvent::MouseButtonRelease);
    press(player, QPoint(5, 5), Qt::RightButton, QEvent::MouseButtonRelease);
    press(web, QPoint(5, 5), Qt::LeftButton, QEvent::MouseButtonRelease);
    press(player, QPoint(5, 5), Qt::LeftButton, QEvent::MouseButtonRelease);
    EXPECT_EQ(overWeb.releases, 1);  // only the left one
    EXPECT_EQ(overList.releases, 1);
    EXPECT_EQ(overPlayer.releases, 1);

    window->removeMouseHook();
    press(web, QPoint(5, 5), Qt::RightButton, QEvent::MouseButtonRelease);
    EXPECT_EQ(overWeb.releases, 2);
}

TEST_F(MainWindowTest, ASmallWindowIsLaidOutAsTwoThousandTwipsSquare) {
    window->show();
    window->resize(100, 100);  // 1500 x 1500 twips
    window->Form_Resize();
    const QRect web = child<QWidget>("Web1")->geometry();
    EXPECT_EQ(web, QRect(-7, -7, 153, 100));  // 2300 x 1500 twips at -100, -100
    const QRect panel = child<QFrame>("frameStations")->geometry();
    EXPECT_EQ(panel.topLeft(), QPoint(-250, -162));  // -3750, -2427 twips, to the nearest pixel
}

TEST_F(MainWindowTest, ZoomBeforeAnyStationChangesOnlyTheWidth) {
    struct CountingPlayer : StationPlayer {
        int builds = 0;
        void StopPlayer() override {}
        void BuildPlayerPage(const std::string&, std::string&) override { ++builds; }
    } player;
    window->setStationPlayer(player);
    const struct {
        const char* entry;
        int percent;
    } cases[] = {{"Small", 33}, {"Medium", 50}, {"Large", 75}, {"Fill Window", 100}};
    for (const auto& c : cases) {
        for (QAction* a : window->findChildren<QAction*>()) {
            if (a->text() == c.entry)
                a->trigger();
        }
        EXPECT_EQ(window->zoomPercent(), c.percent) << c.entry;
    }
    EXPECT_EQ(player.builds, 0);
    browser->state.currentAddress = "abc";
    window->setZoom(50);
    EXPECT_EQ(player.builds, 1);
}

TEST_F(MainWindowTest, VolumeStepsShowTheDisplayForSevenSeconds) {
    window->show();
    auto* display = child<QFrame>("frameVol");
    auto* marks = child<QLabel>("lblV2");
    EXPECT_FALSE(display->isVisible());
    window->menu().menuVolDown->trigger();
    EXPECT_TRUE(display->isVisible());
    EXPECT_EQ(marks->text(), QString("|    ").repeated(9));
    EXPECT_EQ(waveOut.values, (std::vector<std::uint32_t>{58981u | (58981u << 16)}));
    auto* timer = window->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 7000);
    EXPECT_TRUE(timer->isActive());
    // The display sits 1000 twips above the outer bottom edge.
    const int h = window->frameGeometry().height() * 15;
    EXPECT_EQ(display->y(), (h - 1335 - 1000 + 7) / 15);
    // Run the count short: when it ends the display goes.
    timer->start(1);
    for (int i = 0; i < 100 && display->isVisible(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    EXPECT_FALSE(display->isVisible());
}

TEST_F(MainWindowTest, MinimisingGoesToTheTrayOnlyWithTrayOn) {
    for (const char* tray : {"1", "0"}) {
        SCOPED_TRACE(tray);
        SettingsStore().write("Tray", tray);
        window->show();
        window->setTrayIcon("Kinvo! 3.9");
        window->setWindowState(Qt::WindowMinimized);
        window->Form_Resize();
        const bool on = std::string(tray) == "1";
        EXPECT_EQ(window->isVisible(), !on);
        EXPECT_EQ(window->trayIcon()->isVisible(), on);
        EXPECT_EQ(window->trayIcon()->toolTip(), "Kinvo! 3.9");
        window->restoreFromTray();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isMinimized());
        EXPECT_FALSE(window->trayIcon()->isVisible());
    }
}

TEST_F(MainWindowTest, ADialogLiftsTheTopmostStateAndRestoresItOnlyWhenSet) {
    window->show();
    const QPoint at = window->pos();
    // The native windows stay: a playback server's video window lives inside the player's.
    const WId native = window->winId();
    for (const char* stored : {"1", "0"}) {
        SCOPED_TRACE(stored);
        SettingsStore().write("AlwaysOnTop", stored);
        window->setAlwaysOnTop(true);
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        {
            DialogTopmostPause pause(*window, browser->settings);
            EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        }
        EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                  std::string(stored) == "1");
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->pos(), at);
        EXPECT_EQ(window->winId(), native);
    }
}

TEST_F(MainWindowTest, StartUpShowsTheWindowAtItsOpeningSize) {
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(window->startUp());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(800, 633));  // 12000 x 9500 twips
    EXPECT_EQ(window->windowTitle(), "Kinvo! v3.9");
    window->close();
    SettingsStore s;
    EXPECT_EQ(s.readText("Width", ""), "12000");
    EXPECT_EQ(s.readText("LastFormat", ""), "Music/Entertainment");
}

TEST_F(MainWindowTest, EveryLinkOpensItsPageOnTheDiscoveryAddressesSite) {
    ASSERT_TRUE(window->startUp());
    const MainMenu& menu = window->menu();
    menu.menuHelp->trigger();
    menu.menuSupport->trigger();
    menu.menuVisit->trigger();
    // The rating page gets the selected station's name, blanks as "+"; nothing selected, none.
    auto* combo = window->findChild<QComboBox*>();
    emit combo->activated(combo->findText("Music Video"));
    const int mix = [&] {
        for (int i = 0; i < browser->lists.lstStations.count(); ++i)
            if (browser->lists.lstStations.text(i) == "Mix TV 24")
                return i;
        return -1;
    }();
    ASSERT_GE(mix, 0);
    browser->lists.lstStations.setCurrentIndex(mix);
    emit child<PictureButton>("picRate")->clicked();
    browser->lists.lstStations.setCurrentIndex(-1);
    emit child<PictureButton>("picRate")->clicked();
    EXPECT_EQ(shell.opened, (std::vector<std::string>{
                                fixture.url("/help/kinvo/index.htm"),
                                fixture.url("/mailform.htm"),
                                fixture.url("/about.asp?P=T"),
                                fixture.url("/kinvorate.asp?S=Mix+TV+24"),
                                fixture.url("/kinvorate.asp?S="),
                            }));
    window->close();
}

TEST_F(MainWindowTest, TheSearchDialogListsResultsAndRefusesToCloseWhileItSearches) {
    ASSERT_TRUE(window->startUp());
    fixture.answer("/kinvo39.asp?P=T&SEARCH=1&T1=mix+tv&MINBPS=100&V=3.9",
                   testing::Answer{testing::catalogueDocument(testing::musicVideoStations(), true),
                                   200, std::chrono::milliseconds(400)});
    SettingsStore().write("AlwaysOnTop", "1");
    window->setAlwaysOnTop(true);
    bool closedDuringSearch = true, topmostWhileOpen = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Kinvo Internet Video Search");
        topmostWhileOpen = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        dialog->findChild<QLineEdit*>()->setText("mix tv");
        QTimer::singleShot(150, [&, dialog] {
            dialog->close();
            closedDuringSearch = !dialog->isVisible();
        });
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dialog->findChild<QLineEdit*>(), &enter);
    });
    emit child<PictureButton>("picSearch")->clicked();  // returns when the dialog has closed
    EXPECT_FALSE(closedDuringSearch);
    EXPECT_FALSE(topmostWhileOpen);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(browser->comboS.text(), "Video Search");
    EXPECT_EQ(browser->lists.lstStations.count(), 4);
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&SEARCH=1&T1=mix+tv"), 1);
    EXPECT_EQ(child<QLabel>("lblStations")->text(), "4 Items");
    window->close();
}

TEST_F(MainWindowTest, TheAboutBoxKeepsItsSize) {
    frmAbout about(*window, browser->settings);
    about.show();
    about.resize(900, 700);
    EXPECT_EQ(about.size(), QSize(380, 200));  // 5700 x 3000 twips
    EXPECT_EQ(about.windowTitle(), "About");
    about.cmdOK->click();
    EXPECT_FALSE(about.isVisible());
}

TEST_F(MainWindowTest, AShownPageCoversTheStatusLabel) {
    window->show();
    window->showStatLabel();
    EXPECT_TRUE(child<QLabel>("lblStat")->isVisible());
    window->web1().show();
    EXPECT_FALSE(child<QLabel>("lblStat")->isVisible());
    window->showStatLabel();  // still covered
    EXPECT_FALSE(child<QLabel>("lblStat")->isVisible());
}

}  // namespace
}  // namespace kinvo
int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
