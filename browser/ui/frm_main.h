#pragma once
// frmMain, the browser's main window. For now it holds the station panel (category box,
// station list and its labels) and the status label; it binds them to the core's lists and
// category box and carries out what the catalogue routines change on the window.
//
// Start-up runs once the window is shown: discovery, then the first category list. Closing the
// window ends the run (a running parse and request stop, the run's cache files go).

#include "catalogue.h"
#include "catalogue_view.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QListView;

namespace kinvo {

class ComboBinding;
class ListBinding;
class Prompts;
struct Browser;

class frmMain : public QWidget, public CatalogueView {
public:
    frmMain(Browser& browser, Prompts& prompts);
    ~frmMain() override;

    // Finds the data server and lists the first category; false when no data server could be
    // used (the window then closes).
    bool startUp();

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

    // Places the station panel and the status label for the window's size.
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void GetSettings();

    Browser& browser_;
    Prompts& prompts_;
    Catalogue catalogue_;
    bool busy_ = false;

    QFrame* frameStations;
    QLabel* Label6;
    QComboBox* comboS;
    QListView* lstStations;
    QLabel* lblStations;
    QLabel* lblBandwidth;
    QLabel* lblLen;
    QFrame* frameRate;
    QLabel* picRate;
    QLabel* Label4;
    QLabel* lblStat;
};

}  // namespace kinvo
