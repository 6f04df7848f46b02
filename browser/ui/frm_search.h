#pragma once
// frmSearch, "Kinvo Internet Video Search": the modal dialog of the video search. It binds its
// widgets to VideoSearch (browser/core/video_search.h), which does the work: the term box Text1,
// the button cmdOK (Enter in Text1 does the same), the progress bar progbar1 and its one-second
// Timer1, the tips, and the "More Results" link to the vendor's search page. Opening it prepares
// the main window for results; it refuses to close while a search runs. While it is open the
// main window is not kept on top.

#include "browser/core/video_search.h"
#include "browser/ui/always_on_top.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kinvo {

class Catalogue;
class CatalogueView;
class Prompts;
class ShellOpener;
struct Browser;

class frmSearch : public QDialog, private SearchForm {
  public:
    // mainWindow is the browser's main window, which view is.
    frmSearch(Browser& browser, Catalogue& catalogue, CatalogueView& view, Prompts& prompts,
              ShellOpener& shell, QWidget& mainWindow);
    ~frmSearch() override;

    QLineEdit* Text1;
    QPushButton* cmdOK;
    QProgressBar* progbar1;
    QTimer* Timer1;
    QLabel* Label5;  // "More Results"

    // cmdOK's click and Enter in Text1.
    void cmdOK_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Esc counts as the close box
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // SearchForm
    void setTermEnabled(bool enabled) override;
    void setTerm(std::string_view text) override;
    void focusTerm() override;
    void setOkEnabled(bool enabled) override;
    void setOkCaption(std::string_view caption) override;
    void setBusy(bool busy) override;
    void showProgress(int value, int maximum) override;
    void setTimerRunning(bool running) override;
    void closeForm() override;

    void openSponsorPage();

    DialogTopmostPause topmostPause_;
    VideoSearch search_;
    Prompts& prompts_;
    ShellOpener& shell_;
    std::string vendorSite_;  // where the "More Results" page is
    QLabel* Image1;
    bool busy_ = false;
};

}  // namespace kinvo
