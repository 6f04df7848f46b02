// The station panel's list, details, favorites and start events through real widget events,
// against the loopback fixture under the offscreen platform.
#include "browser/core/browser.h"
#include "browser/core/favorites.h"
#include "browser/core/settings_store.h"
#include "browser/core/shell_open.h"
#include "browser/core/station_player.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/recording_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/wave_out.h"
#include "browser/ui/frm_main.h"
#include "browser/web/component_libraries.h"
#include "catalogue/text_shift.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace kinvo {
namespace {

using testing::HttpFixture;

using testing::RecordingShell;
using testing::RecordingWaveOut;

class RecordingPlayer : public StationPlayer {
  public:
    struct Built {
        std::string address;
        std::string name;
    };
    void StopPlayer() override { ++stops; }
    void BuildPlayerPage(const std::string& address, std::string& name) override {
        built.push_back({address, name});
    }
    int stops = 0;
    std::vector<Built> built;
};

std::string fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return file.readAll().toStdString();
}

class StationPanelTest : public ::testing::Test {
  protected:
    StationPanelTest() {
        testing::installCannedCatalogue(fixture);
        SettingsStore settings;
        settings.write("QHShow", "1");
        settings.write("Speed", "Broadband");
        settings.write("AdultSettings", "1");
        open();
    }

    void open() {
        window.reset();
        browser.reset();
        ParsedOptions parsed = parseBrowserOptions({"--discovery", fixture.url("/redirect35.asp")});
        browser = std::make_unique<Browser>(*parsed.options);
        window = std::make_unique<frmMain>(*browser, prompts, shell, waveOut, components);
        window->setStationPlayer(player);
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    void choose(const QString& category) {
        const int index = combo()->findText(category);
        ASSERT_GE(index, 0) << category.toStdString();
        emit combo()->activated(index);
    }

    QComboBox* combo() const { return window->findChild<QComboBox*>(); }
    QListView* list() const { return window->findChild<QListView*>(QStringLiteral("lstStations")); }
    QLabel* label(const char* name) const { return window->findChild<QLabel*>(name); }
    QString textStartingWith(const QString& start) const {
        for (QLabel* l : window->findChildren<QLabel*>()) {
            if (l->text().startsWith(start)) {
                return l->text();
            }
        }
        return {};
    }
    int shownMarks() const {
        int shown = 0;
        for (int i = 0; i < 5; ++i) {
            QLabel* mark = window->findChild<QLabel*>(QStringLiteral("pr1_%1").arg(i));
            shown += mark != nullptr && !mark->isHidden() ? 1 : 0;
        }
        return shown;
    }
    QStringList shownStations() const {
        QStringList out;
        QAbstractItemModel* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            out << model->index(row, 0).data().toString();
        }
        return out;
    }
    QWidget* pictureWithTip(const char* tip) const {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->toolTip() == QLatin1String(tip)) {
                return w;
            }
        }
        return nullptr;
    }

    void mouse(QWidget* target, QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    QPoint rowCentre(int row) const {
        return list()->visualRect(list()->model()->index(row, 0)).center();
    }
    void clickRow(int row) {
        mouse(list()->viewport(), QEvent::MouseButtonPress, rowCentre(row));
        mouse(list()->viewport(), QEvent::MouseButtonRelease, rowCentre(row));
    }
    void doubleClickRow(int row) {
        clickRow(row);
        mouse(list()->viewport(), QEvent::MouseButtonDblClick, rowCentre(row));
        mouse(list()->viewport(), QEvent::MouseButtonRelease, rowCentre(row));
    }
    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QApplication::sendEvent(list(), &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QApplication::sendEvent(list(), &release);
    }
    void showListAgain() {
        window->setStationFrameVisible(true);
        window->setStationListVisible(true);
    }

    testing::TemporaryHome home;
    HttpFixture fixture;
    testing::ScriptedPrompts prompts;
    RecordingShell shell;
    RecordingWaveOut waveOut;
    RecordingPlayer player;
    web::ComponentLibraries components{QString()};  // none installed
    std::unique_ptr<Browser> browser;
    std::unique_ptr<frmMain> window;
};

TEST_F(StationPanelTest, AClickShowsTheDetailsInTheLabelsAndMarks) {
    ASSERT_TRUE(window->startUp());
    choose("Music Video");
    ASSERT_EQ(shownStations().size(), 4);
    // Catalogue rows: bandwidth, notes and rating from the companion list.
    clickRow(1);
    EXPECT_EQ(browser->lists.lstStations.currentIndex(), 1);
    EXPECT_EQ(label("lblNotes")->text(), "Classic");
    EXPECT_EQ(shownMarks(), 5);
    EXPECT_EQ(label("lblBandwidth")->text(), "Bandwidth : 56kbps");
    clickRow(0);
    EXPECT_EQ(label("lblNotes")->text(), "Loud");
    EXPECT_EQ(shownMarks(), 4);
    EXPECT_EQ(label("lblBandwidth")->text(), "Bandwidth : 300kbps");

    // Search-mode rows put in place by hand: the play time shows too.
    window->setPlayTimeVisible(true);
    struct Row {
        std::string time;
        std::int64_t bandwidth;
        std::string companion;
        const char* timeText;
        const char* bandwidthText;
        const char* notes;
        int marks;
    };
    const std::vector<Row> rows = {
        {"187", 300, "Good||3", "Time : [3:07]", "Bandwidth : 300kbps", "Good", 3},
        {"60", 0, "Fine||0", "Time : [1:00]", "Bandwidth : ? kbps", "Fine", 0},
        {"59", 1, "Odd||", "Time : [0:59]", "Bandwidth : 1kbps", "Odd", 0},
        {"", 5, "Many||7", "Time : [??:??]", "Bandwidth : 5kbps", "Many", 5},
        {"text", 5, "None||2", "Time : [??:??]", "Bandwidth : 5kbps",
         "No comments, Click the RATE icon on the left to add notes and rate this station.", 2},
    };
    SBList& stations = browser->lists.lstStations;
    stations.clear();
    browser->lists.lstStations2.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string address = "http://media.example/r" + std::to_string(i);
        stations.add("Row " + std::to_string(i), "a!!!b###" + address + "%%%" + rows[i].time,
                     rows[i].bandwidth);
        browser->lists.lstStations2.add(address, rows[i].companion, 0);
    }
    ASSERT_EQ(shownStations().size(), static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        clickRow(static_cast<int>(i));
        EXPECT_EQ(label("lblLen")->text(), rows[i].timeText);
        EXPECT_EQ(label("lblBandwidth")->text(), rows[i].bandwidthText);
        EXPECT_EQ(label("lblNotes")->text(), rows[i].notes);
        EXPECT_EQ(shownMarks(), rows[i].marks);
    }
}

TEST_F(StationPanelTest, DoubleClickEnterAndSpaceStartTheStation) {
    ASSERT_TRUE(window->startUp());
    ASSERT_EQ(shownStations(), (QStringList{"Talk Show", "quiz night"}));
    fixture.clearRequests();

    doubleClickRow(1);
    ASSERT_EQ(player.built.size(), 1u);
    EXPECT_EQ(player.built[0].name, "quiz night");
    EXPECT_EQ(DecodeText(player.built[0].address, false), "http://media.example/quiz");
    EXPECT_GE(player.stops, 1);
    EXPECT_TRUE(list()->isHidden());
    EXPECT_TRUE(window->findChild<QWidget*>(QStringLiteral("frameStations"))->isHidden());
    EXPECT_EQ(textStartingWith("Connecting"), "Connecting...");
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?STATS=1&U=http://media.example/quiz"), 1);

    const std::vector<std::pair<int, QString>> startKeys = {{Qt::Key_Return, "\r"},
                                                            {Qt::Key_Space, " "}};
    for (const auto& [code, text] : startKeys) {
        showListAgain();
        browser->lists.lstStations.setCurrentIndex(0);
        key(code, Qt::NoModifier, text);
        ASSERT_EQ(player.built.back().name, "Talk Show") << code;
    }
    EXPECT_EQ(player.built.size(), 3u);
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?STATS=1&U=http://media.example/talk"), 2);

    // The Play entry starts the selected station as the list's start event does.
    showListAgain();
    browser->lists.lstStations.setCurrentIndex(1);
    window->menu().menuPlay->trigger();
    ASSERT_EQ(player.built.size(), 4u);
    EXPECT_EQ(player.built.back().name, "quiz night");
    EXPECT_TRUE(list()->isHidden());
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?STATS=1&U=http://media.example/quiz"), 2);
}

TEST_F(StationPanelTest, MusicVideoAndVideoSearchStartWithoutNotifyingTheServer) {
    ASSERT_TRUE(window->startUp());
    choose("Music Video");
    fixture.clearRequests();
    doubleClickRow(0);
    ASSERT_EQ(player.built.size(), 1u);
    EXPECT_EQ(player.built[0].name, "Zulu Beats");

    showListAgain();
    browser->comboS.setText("Video Search");
    browser->lists.lstStations.clear();
    browser->lists.lstStations.add(
        "Found", "a!!!b###" + EncodeText("http://media.example/f") + "%%%90", 100);
    browser->lists.lstStations.setCurrentIndex(0);
    key(Qt::Key_Return, Qt::NoModifier, "\r");
    ASSERT_EQ(player.built.size(), 2u);
    EXPECT_EQ(player.built[1].name, "Found");
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?STATS"), 0);
}

TEST_F(StationPanelTest, TheKeyTablesThroughRealKeys) {
    ASSERT_TRUE(window->startUp());
    SBList& stations = browser->lists.lstStations;
    stations.setCurrentIndex(0);

    // Letters go on to the list, which finds the station they start.
    key(Qt::Key_Q, Qt::NoModifier, "q");
    EXPECT_EQ(stations.currentIndex(), 1);
    // Every other key is kept from it: arrows and digits do not move.
    key(Qt::Key_Up);
    key(Qt::Key_5, Qt::NoModifier, "5");
    EXPECT_EQ(stations.currentIndex(), 1);

    key(Qt::Key_A, Qt::ControlModifier, "\x01");
    EXPECT_TRUE(stations.selected(0));
    EXPECT_TRUE(stations.selected(1));

    // Shift+F12: the address in a text-input box.
    QString shownAddress;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QInputDialog*>(w); box != nullptr && box->isVisible()) {
                shownAddress = box->textValue();
                box->reject();
            }
        }
    });
    key(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(DecodeText(shownAddress.toStdString(), false), "http://media.example/quiz");

    // Esc sends F2 to the active window: the Stations menu entry hides the frame, again shows it.
    QWidget* frame = window->findChild<QWidget*>(QStringLiteral("frameStations"));
    ASSERT_FALSE(frame->isHidden());
    // The input box took the activation with it when it went.
    QApplication::setActiveWindow(window.get());
    ASSERT_EQ(QApplication::activeWindow(), window.get());
    key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_TRUE(frame->isHidden());
    window->menu().menuStations->trigger();
    EXPECT_FALSE(frame->isHidden());
    EXPECT_TRUE(player.built.empty());
}

TEST_F(StationPanelTest, FavoritesAddedFromThePanelComeBackAfterARestart) {
    ASSERT_TRUE(window->startUp());
    choose("Music Video");
    const QString file = favoritesFilePath(browser->programFolder);

    // picTV with the first station selected; again says it is there already.
    QWidget* picTV = pictureWithTip("Add selected stations to your favorites list");
    ASSERT_NE(picTV, nullptr);
    clickRow(0);
    mouse(picTV, QEvent::MouseButtonPress, {5, 5});
    mouse(picTV, QEvent::MouseButtonRelease, {5, 5});
    ASSERT_EQ(browser->lists.lstFavorites.count(), 1);
    EXPECT_NE(prompts.shown.back().text.find("Station added to favorites list"), std::string::npos);
    window->menu().menuAddFav->trigger();
    EXPECT_EQ(prompts.shown.back().text, "Station Zulu Beats already in favorites list.");

    // Shift+F on another one; several selected and added again: nothing said.
    clickRow(1);
    key(Qt::Key_F, Qt::ShiftModifier, "F");
    ASSERT_EQ(browser->lists.lstFavorites.count(), 2);
    const std::size_t said = prompts.shown.size();
    key(Qt::Key_A, Qt::ControlModifier, "\x01");
    window->menu().menuAddFav->trigger();
    EXPECT_EQ(prompts.shown.size(), said);
    EXPECT_EQ(browser->lists.lstFavorites.count(), 2);

    // Delete outside the favorites changes nothing.
    const std::string saved = fileBytes(file);
    clickRow(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(browser->lists.lstFavorites.count(), 2);
    EXPECT_EQ(shownStations().size(), 4);
    EXPECT_EQ(fileBytes(file), saved);

    open();
    ASSERT_TRUE(window->startUp());
    window->menu().menuFavs->trigger();
    EXPECT_EQ(combo()->currentText(), "Favorites");
    EXPECT_EQ(shownStations(), (QStringList{"alpha Vision", "Zulu Beats"}));

    // Delete in the favorites takes one out, and the file with it.
    browser->lists.lstStations.setCurrentIndex(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(shownStations(), (QStringList{"Zulu Beats"}));
    open();
    ASSERT_TRUE(window->startUp());
    window->menu().menuFavs->trigger();
    EXPECT_EQ(shownStations(), (QStringList{"Zulu Beats"}));
}

TEST_F(StationPanelTest, ADamagedFavoritesFileIsKeptAsideAndTheListStartsEmpty) {
    const QString file = favoritesFilePath(browser->programFolder);
    const std::string damaged = "not a list\n\x01\x02";
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(damaged.data(), static_cast<qint64>(damaged.size()));
    }
    ASSERT_TRUE(window->startUp());
    const QStringList kept =
        QDir(browser->programFolder).entryList({QStringLiteral("Favorites.lst.damaged-*")});
    ASSERT_EQ(kept.size(), 1);
    const QString keptFile = browser->programFolder + QLatin1Char('/') + kept.front();
    EXPECT_EQ(fileBytes(keptFile), damaged);
    const auto told = std::count_if(prompts.shown.begin(), prompts.shown.end(), [&](auto& shown) {
        return shown.text.find(kept.front().toStdString()) != std::string::npos;
    });
    EXPECT_EQ(told, 1);
    window->menu().menuFavs->trigger();
    EXPECT_TRUE(shownStations().isEmpty());
    choose("Music Video");
    clickRow(0);
    window->menu().menuAddFav->trigger();
    EXPECT_EQ(fileBytes(keptFile), damaged);
    open();
    ASSERT_TRUE(window->startUp());
    window->menu().menuFavs->trigger();
    EXPECT_EQ(shownStations(), (QStringList{"Zulu Beats"}));
}

}  // namespace
}  // namespace kinvo

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
