#pragma once
// frmConn, "Choose Connection": the first-run choice of the connection class. Clicking an
// option stores its value in "Speed" at once; OK and the close box refuse to close while none
// of the three is chosen ("Please select a connection type.").

#include <QDialog>

class QRadioButton;

namespace kinvo {

class Prompts;
class SettingsStore;

class frmConn : public QDialog {
  public:
    frmConn(SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

    QRadioButton* Option1;  // Broadband
    QRadioButton* Option2;  // ALL Content
    QRadioButton* Option3;  // Dialup (56k Modem)

    // OK: closes only with an option chosen.
    void cmdOK_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Esc counts as the close box

  private:
    bool chosen() const;
    bool refuseWithoutChoice();

    SettingsStore& settings_;
    Prompts& prompts_;
};

}  // namespace kinvo
