#include "frm_main.h"

#include "browser.h"
#include "combo_binding.h"
#include "discovery.h"
#include "list_binding.h"
#include "texts.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QListView>

namespace kinvo {
namespace {

// Design sizes in twips.
constexpr int kWindowWidth = 12000;
constexpr int kWindowHeight = 9500;
constexpr int kPanelWidth = 9500;
constexpr int kPanelHeight = 6255;
constexpr int kStatWidth = 4935;
constexpr int kStatHeight = 615;
constexpr int kListLeft = 900;
constexpr int kListTop = 700;
constexpr int kListWidth = 8400;

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

frmMain::frmMain(Browser& browser, Prompts& prompts)
    : browser_(browser),
      prompts_(prompts),
      catalogue_({browser.state, browser.fetcher, browser.settings, browser.lists, browser.comboS,
                  prompts, *this, browser.programFolder}) {
    setWindowTitle(qtext(texts::kTitle) + QStringLiteral(" v") + qtext(texts::kVersion));
    setObjectName(QStringLiteral("frmMain"));
    setStyleSheet(QStringLiteral("#frmMain { background: #0000c0; }"));
    resize(twipsToPixels(kWindowWidth), twipsToPixels(kWindowHeight));

    frameStations = new QFrame(this);
    frameStations->setObjectName(QStringLiteral("frameStations"));
    frameStations->setFrameShape(QFrame::StyledPanel);
    frameStations->setAutoFillBackground(true);
    frameStations->resize(twipsToPixels(kPanelWidth), twipsToPixels(kPanelHeight));

    Label6 = new QLabel(QStringLiteral("Click to Select Category"), frameStations);
    Label6->setGeometry(twipsRect(5400, 40, 3500, 240));
    comboS = new QComboBox(frameStations);
    comboS->setGeometry(twipsRect(5400, 280, 3500, 330));
    lstStations = new QListView(frameStations);
    lstStations->setGeometry(twipsRect(kListLeft, kListTop, kListWidth, 4900));
    lblStations = new QLabel(frameStations);
    lblStations->setGeometry(twipsRect(kListLeft, 300, 3000, 300));
    lblBandwidth = new QLabel(frameStations);
    lblBandwidth->setGeometry(twipsRect(kListLeft + 3000, 300, 1500, 300));
    lblLen = new QLabel(frameStations);
    lblLen->setGeometry(twipsRect(kListLeft + 4500, 300, 900, 300));
    lblLen->hide();
    frameRate = new QFrame(frameStations);
    frameRate->setFrameShape(QFrame::StyledPanel);
    frameRate->setGeometry(twipsRect(kListLeft, kListTop + 4080 + 60, kListWidth, 700));
    frameRate->hide();
    picRate = new QLabel(frameStations);
    picRate->setGeometry(twipsRect(102, 3800, 600, 600));
    picRate->setToolTip(QStringLiteral("Rate this station or add comments"));
    picRate->hide();
    Label4 = new QLabel(QStringLiteral("Rate"), frameStations);
    Label4->setGeometry(twipsRect(102, 4410, 600, 240));
    Label4->hide();

    lblStat = new QLabel(this);
    lblStat->setAlignment(Qt::AlignCenter);
    lblStat->setAutoFillBackground(true);
    lblStat->resize(twipsToPixels(kStatWidth), twipsToPixels(kStatHeight));
    lblStat->hide();

    new ListBinding(browser.lists.lstStations, *lstStations);
    new ComboBinding(browser.comboS, *comboS, [this] { catalogue_.ComboS_Click(); });
    Form_Resize();
}

frmMain::~frmMain() = default;

bool frmMain::startUp() {
    lblStat->show();
    frameStations->hide();
    FindDataServer(
        browser_.state, browser_.fetcher, prompts_, browser_.options.discoveryAddress,
        [this](std::string_view text) {
            lblStat->setText(qtext(text));
            lblStat->repaint();
        },
        [] { QCoreApplication::processEvents(); });
    if (browser_.state.dataServer.empty()) {
        close();
        return false;
    }
    browser_.beginRun();
    GetSettings();
    return true;
}

void frmMain::GetSettings() {
    browser_.state.largeFonts = logicalDpiX() != 96;
    setEnabled(false);
    lblStat->show();
    lblStat->repaint();
    browser_.state.stopRequested = false;
    frameStations->hide();
    browser_.lists.lstStations.clear();
    browser_.state.documentText.clear();
    catalogue_.FillCategories();
    std::string format =
        browser_.settings.readText(texts::kKeyLastFormat, texts::kDefaultCategory);
    if (format != texts::kVideoSearch) {
        if (format.empty()) {
            format = texts::kDefaultCategory;
        }
        browser_.comboS.setText(format);
        catalogue_.ComboS_Click();
    }
    frameStations->show();
    lblStat->hide();
    setEnabled(true);
}

void frmMain::Form_Resize() {
    const int width = std::max(pixelsToTwips(this->width()), 2000);
    const int height = std::max(pixelsToTwips(this->height()), 2000);
    const auto centre = [&](QWidget* widget) {
        const int w = pixelsToTwips(widget->width());
        const int h = pixelsToTwips(widget->height());
        widget->move(twipsToPixels(width / 2 - w / 2), twipsToPixels(height / 2 - h / 2 - 300));
    };
    centre(lblStat);
    centre(frameStations);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event) {
    browser_.endRun();
    event->accept();
}

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
    lstStations->resize(lstStations->width(), twipsToPixels(twips));
}

void frmMain::openVideoSearch() {
    // The video search dialog is not part of the window yet; choosing it lists nothing.
}

}  // namespace kinvo
