// The main window against the loopback fixture, under the offscreen platform.
#include "browser/ui/frm_main.h"
#include "browser/core/browser.h"
#include "browser/core/settings_store.h"
#include "browser/core/shell_open.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/recording_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/wave_out.h"
#include "browser/web/component_libraries.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace kinvo {
namespace {

using testing::HttpFixture;

using testing::RecordingShell;
using testing::RecordingWaveOut;

class FrmMainTest : public ::testing::Test {
  protected:
    FrmMainTest() {
        testing::installCannedCatalogue(fixture);
        ParsedOptions parsed = parseBrowserOptions({"--discovery", fixture.url("/redirect35.asp")});
        // A second run: no first-run question.
        SettingsStore settings;
        settings.write("QHShow", "1");
        settings.write("Speed", "Broadband");
        settings.write("AdultSettings", "1");
        browser = std::make_unique<Browser>(*parsed.options);
        window = std::make_unique<frmMain>(*browser, prompts, shell, waveOut, components);
        window->show();
    }

    QComboBox* combo() const { return window->findChild<QComboBox*>(); }
    QListView* list() const { return window->findChild<QListView*>(); }
    QStringList shownStations() const {
        QStringList out;
        QAbstractItemModel* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            out << model->index(row, 0).data().toString();
        }
        return out;
    }

    testing::TemporaryHome home;
    HttpFixture fixture;
    testing::ScriptedPrompts prompts;
    RecordingShell shell;
    RecordingWaveOut waveOut;
    std::unique_ptr<Browser> browser;
    web::ComponentLibraries components{QString()};  // none installed
    std::unique_ptr<frmMain> window;
};

TEST_F(FrmMainTest, StartsUpWithTheCategoriesAndTheDefaultList) {
    ASSERT_TRUE(window->startUp());
    EXPECT_EQ(combo()->count(), 6);
    EXPECT_EQ(combo()->itemText(0), "Music Video");
    EXPECT_EQ(combo()->itemText(5), "Video Search");
    EXPECT_EQ(combo()->currentText(), "Music/Entertainment");
    EXPECT_EQ(shownStations(), (QStringList{"Talk Show", "quiz night"}));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FrmMainTest, ChoosingACategoryListsIt) {
    ASSERT_TRUE(window->startUp());
    bool busyWhileLoading = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (QApplication::overrideCursor() != nullptr &&
            QApplication::overrideCursor()->shape() == Qt::WaitCursor) {
            busyWhileLoading = true;
        }
    });
    probe.start(0);
    fixture.answer("/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MINBPS=100&V=3.9",
                   {testing::catalogueDocument(testing::musicVideoStations()), 200,
                    std::chrono::milliseconds(200)});
    emit combo()->activated(0);
    probe.stop();
    EXPECT_TRUE(busyWhileLoading);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(shownStations(),
              (QStringList{"Zulu Beats", "alpha Vision",
                           QString::fromUtf8("Caf\xc3\xa9 M\xc3\xbasica"), "Mix TV 24"}));
    EXPECT_EQ(browser->comboS.text(), "Music Video");
    // The first station is marked selected in the view too.
    EXPECT_TRUE(list()->selectionModel()->isRowSelected(0, {}));
    bool countShown = false;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        countShown = countShown || label->text() == "4 Items";
    }
    EXPECT_TRUE(countShown);

    // A click in the view marks the list and moves its current index.
    list()->selectionModel()->setCurrentIndex(list()->model()->index(2, 0),
                                              QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(browser->lists.lstStations.currentIndex(), 2);
    EXPECT_TRUE(browser->lists.lstStations.selected(2));
    EXPECT_FALSE(browser->lists.lstStations.selected(0));
}

TEST_F(FrmMainTest, TheRestoredLastStationIsTheOneHighlightedRow) {
    SettingsStore().write("LastStation", "Quiz!!!");  // in the tag of "quiz night", row 1
    ASSERT_TRUE(window->startUp());
    ASSERT_EQ(shownStations(), (QStringList{"Talk Show", "quiz night"}));
    QItemSelectionModel* selection = list()->selectionModel();
    EXPECT_EQ(selection->selectedRows().size(), 1);
    EXPECT_TRUE(selection->isRowSelected(1, {}));
    EXPECT_EQ(selection->currentIndex().row(), 1);
    // What the user sees: rows drawn in another colour than the list's background, read at
    // their right end, past any text.
    const QImage shown = list()->viewport()->grab().toImage();
    const QRgb background = shown.pixel(shown.width() - 2, shown.height() - 2);
    std::vector<int> highlighted;
    for (int row = 0; row < list()->model()->rowCount(); ++row) {
        const QRect r = list()->visualRect(list()->model()->index(row, 0));
        if (shown.pixel(r.right() - 2, r.center().y()) != background) {
            highlighted.push_back(row);
        }
    }
    EXPECT_EQ(highlighted, std::vector<int>{1});
}

TEST_F(FrmMainTest, TheCategoryBoxTakesNoTyping) {
    ASSERT_TRUE(window->startUp());
    const QString before = combo()->currentText();
    for (const auto& [key, text] :
         {std::pair{Qt::Key_M, QStringLiteral("m")}, std::pair{Qt::Key_Delete, QString()},
          std::pair{Qt::Key_Backspace, QStringLiteral("\b")}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(combo(), &press);
        EXPECT_EQ(combo()->currentText(), before) << key;
    }
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video"), 0);
}

TEST_F(FrmMainTest, NoDataServerClosesTheWindow) {
    fixture.answer("/redirect35.asp", "");
    prompts.script({Prompts::Answer::Cancel, Prompts::Answer::No});
    EXPECT_FALSE(window->startUp());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts.shown.size(), 4u);
}

}  // namespace
}  // namespace kinvo

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
