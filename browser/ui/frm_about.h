#pragma once
// frmAbout, "About": the product picture and an OK button. Its size is fixed at 5700 by 3000
// twips; the window manager can't make it larger or smaller. While it is open the main window
// is not kept on top.

#include "browser/ui/always_on_top.h"

#include <QDialog>

class QPushButton;

namespace kinvo {

class SettingsStore;

class frmAbout : public QDialog {
  public:
    static constexpr int kWidthTwips = 5700;
    static constexpr int kHeightTwips = 3000;

    frmAbout(QWidget& mainWindow, const SettingsStore& settings);

    QPushButton* cmdOK;

  private:
    DialogTopmostPause topmostPause_;
};

}  // namespace kinvo
