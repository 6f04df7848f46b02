// The settings dialog's form bound to its logic, over a plain window standing in for the main
// window, under the offscreen platform.
#include "browser/ui/frm_setup.h"
#include "browser/core/input_box.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/support/recording_host.h"
#include "browser/core/tests/support/test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

class CountingInputBox : public InputBox {
  public:
    std::string ask(std::string_view, std::string_view, std::string_view) override {
        ++asked;
        return answer;
    }
    std::string answer;
    int asked = 0;
};

class FrmSetupTest : public ::testing::Test {
  protected:
    FrmSetupTest() { mainWindow.show(); }

    std::unique_ptr<frmSetup> open() {
        return std::make_unique<frmSetup>(settings, prompts, host, mainWindow, &inputBox);
    }
    template <class T>
    static T* child(const frmSetup& form, const char* name) {
        T* found = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool mainWindowOnTop() const {
        return mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    }

    testing::TemporaryHome home;
    SettingsStore settings;
    testing::ScriptedPrompts prompts;
    testing::RecordingHost host;
    CountingInputBox inputBox;
    QWidget mainWindow{nullptr, Qt::Window | Qt::WindowStaysOnTopHint};
};

TEST_F(FrmSetupTest, OkOnTheFormStoresWhatItsControlsShow) {
    settings.write("Speed", "all content");
    settings.write("Font", "No Such Font");
    auto form = open();
    EXPECT_EQ(form->windowTitle(), "Kinvo!");
    EXPECT_EQ(child<QTabWidget>(*form, "SSTab1")->tabText(0), " General Settings");
    auto* fonts = child<QComboBox>(*form, "ComboF");
    ASSERT_GT(fonts->count(), 0);
    EXPECT_FALSE(fonts->isEditable());
    EXPECT_EQ(fonts->currentIndex(), -1);  // a stored font the desktop lacks: none chosen
    EXPECT_EQ(child<QComboBox>(*form, "comboSpeed")->currentText(), "ALL Content");

    child<QCheckBox>(*form, "chkSystem")->click();
    child<QCheckBox>(*form, "chkTop")->click();
    fonts->setCurrentIndex(fonts->count() - 1);
    child<QComboBox>(*form, "comboS")->setEditText(QStringLiteral("25"));
    child<QComboBox>(*form, "comboSpeed")->setCurrentIndex(0);
    child<QPushButton>(*form, "cmdOK")->click();

    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(settings.readText("Tray", ""), "1");
    EXPECT_EQ(settings.readText("AlwaysOnTop", ""), "1");
    EXPECT_EQ(settings.readText("Font", ""), fonts->itemText(fonts->count() - 1).toStdString());
    EXPECT_EQ(settings.readText("FontSize", ""), "10");
    EXPECT_EQ(settings.readText("Speed", ""), "Dialup (56k Modem)");
    EXPECT_EQ(settings.readText("BKColor", ""), "49152");  // the main window's own
    EXPECT_EQ(host.fontName, settings.readText("Font", ""));
    EXPECT_EQ(host.layOuts, 1);
}

TEST_F(FrmSetupTest, MainWindowLeavesTheTopWhileOpenAndReturnsWhenStoredSo) {
    for (const char* stored : {"1", "0"}) {
        SCOPED_TRACE(stored);
        settings.write("AlwaysOnTop", stored);
        mainWindow.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        auto form = open();
        EXPECT_FALSE(mainWindowOnTop());
        form.reset();
        EXPECT_EQ(mainWindowOnTop(), std::string(stored) == "1");
    }
}

TEST_F(FrmSetupTest, AdultBoxAsksOnceAndShowsTheStoredFlag) {
    settings.write("AdultSettings", "0");
    auto form = open();
    auto* adult = child<QCheckBox>(*form, "chkAdult");
    for (const auto& [answer, ticked] :
         {std::pair{"wrong", false}, std::pair{"Qormavelts", true}}) {
        inputBox.answer = answer;
        inputBox.asked = 0;
        adult->click();
        EXPECT_EQ(inputBox.asked, 1) << answer;
        EXPECT_EQ(adult->isChecked(), ticked) << answer;
    }
}

TEST_F(FrmSetupTest, ColourSampleTakesTheColourDialogsAnswer) {
    auto form = open();
    auto* sample = child<QLabel>(*form, "lblColor");
    const auto clickAndAnswer = [&](std::optional<QColor> chosen) {
        QString title;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            title = picker->windowTitle();
            if (chosen) {
                picker->setCurrentColor(*chosen);
                picker->accept();
            } else {
                picker->reject();
            }
        });
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(4, 4), QPointF(4, 4),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(sample, &release);
        EXPECT_EQ(title, "Color");
        return sample->palette().color(QPalette::Window);
    };
    // Cancelled before anything was chosen: black, not the colour the sample showed.
    EXPECT_EQ(clickAndAnswer(std::nullopt), QColor(Qt::black));
    EXPECT_EQ(form->colour(), 0);
    EXPECT_EQ(clickAndAnswer(QColor(0x12, 0x34, 0x56)), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(form->colour(), 0x563412);
    // Cancelled later: the last colour chosen.
    EXPECT_EQ(clickAndAnswer(std::nullopt), QColor(0x12, 0x34, 0x56));
}

}  // namespace
}  // namespace kinvo

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
