#pragma once
// frmSetup, the settings dialog: one tab " General Settings" with the four check boxes, the
// font, size, colour and connection-type choices, and OK and Cancel. Its logic is SetupDialog
// (browser/core/setup_dialog.h); this form builds the controls, fills them through it when it is
// made, and forwards the clicks. Made for one opening and shown modally with exec(); from making
// to destruction it keeps the main window off the top (DialogTopmostPause), which is set on top
// again at destruction when "AlwaysOnTop" is then 1. User-interface thread only.
//
// The font box lists the desktop's fonts (QFontDatabase); the font and connection boxes can only
// be chosen from: typed characters and Delete are dropped. A click on the colour sample opens the
// colour dialog ("Color", not preset); its answer colours the sample, and Cancel there gives the
// dialog's last colour (black when none was chosen during this opening).

#include "browser/core/setup_dialog.h"
#include "browser/ui/always_on_top.h"
#include "browser/ui/qt_input_box.h"

#include <QColor>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace kinvo {

class InputBox;
class MainWindowHost;
class Prompts;
class SettingsStore;

class frmSetup : public QDialog, public SetupView {
  public:
    // mainWindow is the window the dialog opens over and pauses on-top for; host is the same
    // window as the logic sees it. inputBox asks for the password (a box over this dialog when
    // null).
    frmSetup(SettingsStore& settings, Prompts& prompts, MainWindowHost& host, QWidget& mainWindow,
             InputBox* inputBox = nullptr);
    ~frmSetup() override;

    // SetupView
    void setBox(Box box, bool ticked) override;
    bool box(Box box) const override;
    std::vector<std::string> screenFonts() const override;
    void setFontNames(const std::vector<std::string>& names) override;
    void chooseFont(std::string_view name) override;
    std::string fontName() const override;
    void setSizes(const std::vector<std::string>& sizes) override;
    void setSizeText(std::string_view text) override;
    std::string sizeText() const override;
    void setColour(std::int64_t colour) override;
    std::int64_t colour() const override;
    void setSpeeds(const std::vector<std::string>& speeds) override;
    void chooseSpeed(std::string_view speed) override;
    std::string speed() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void pickColour();
    QCheckBox* checkBox(Box box) const;

    DialogTopmostPause topmostPause_;  // first made, last gone
    QtInputBox ownInputBox_;
    SetupDialog dialog_;
    QColor lastPicked_ = Qt::black;  // the colour dialog's answer during this opening
    std::int64_t colour_ = 0;

    QTabWidget* SSTab1;
    QCheckBox* chkSystem;
    QCheckBox* chkAdult;
    QCheckBox* chkShowP;
    QCheckBox* chkTop;
    QComboBox* ComboF;
    QComboBox* comboS;
    QLabel* lblColor;
    QComboBox* comboSpeed;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

}  // namespace kinvo
