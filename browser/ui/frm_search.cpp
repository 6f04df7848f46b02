#include "browser/ui/frm_search.h"

#include "browser/core/browser.h"
#include "browser/core/shell_open.h"
#include "browser/core/texts.h"
#include "browser/core/web_links.h"
#include "browser/ui/pictures.h"
#include "browser/ui/qt_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace kinvo {

namespace {
constexpr int kTickMs = 1000;
constexpr int kTipWidth = 360;  // pixels; the tips wrap at this width
}  // namespace

frmSearch::frmSearch(Browser& browser, Catalogue& catalogue, CatalogueView& view, Prompts& prompts,
                     ShellOpener& shell, QWidget& mainWindow)
    : QDialog(&mainWindow),
      topmostPause_(mainWindow, browser.settings),
      search_({browser.state, browser.fetcher, browser.settings, browser.lists, browser.comboS,
               prompts, view, catalogue, *this}),
      prompts_(prompts),
      shell_(shell),
      vendorSite_(vendorSite(browser.options.discoveryAddress)) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(qtext(texts::kSearchCaption));
    setWindowIcon(programIcon());
    setModal(true);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    auto* Label1 = new QLabel(qtext(texts::kSearchLabel), this);
    Text1 = new QLineEdit(this);
    Label1->setBuddy(Text1);
    cmdOK = new QPushButton(qtext(texts::kSearchButton), this);
    // Enter in the term box searches through returnPressed; a default button would search twice.
    cmdOK->setAutoDefault(false);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(cmdOK, 0, 2);

    progbar1 = new QProgressBar(this);
    progbar1->setTextVisible(false);
    progbar1->setRange(0, VideoSearch::kProgressMaximum);
    progbar1->setValue(0);
    grid->addWidget(progbar1, 1, 0, 1, 3);

    auto* lblSearch = new QLabel(qtext(texts::kSearchTipsHeading), this);
    lblSearch->setStyleSheet(QStringLiteral("font-weight: bold;"));
    grid->addWidget(lblSearch, 2, 0, 1, 3);
    int row = 3;
    for (const std::string_view tip :
         {texts::kSearchTipGeneric, texts::kSearchTipPartial, texts::kSearchTipSubject}) {
        auto* label = new QLabel(qtext(tip), this);
        label->setWordWrap(true);
        label->setMinimumWidth(kTipWidth);
        grid->addWidget(label, row++, 0, 1, 3);
    }

    Image1 = new QLabel(this);
    Image1->setPixmap(picture(QStringLiteral("search_normal"), QSize(32, 32)));
    Label5 = new QLabel(qtext(texts::kSearchMoreResults), this);
    Label5->setStyleSheet(QStringLiteral("color: #0033cc; text-decoration: underline;"));
    for (QLabel* link : {Image1, Label5}) {
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }
    auto* links = new QHBoxLayout;
    links->addWidget(Image1);
    links->addWidget(Label5);
    links->addStretch();
    grid->addLayout(links, row, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, [this] { search_.tick(); });
    connect(cmdOK, &QPushButton::clicked, this, &frmSearch::cmdOK_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &frmSearch::cmdOK_Click);

    search_.load();
}

frmSearch::~frmSearch() {
    setBusy(false);
}

void frmSearch::cmdOK_Click() {
    search_.search(Text1->text().toStdString());
}

void frmSearch::closeEvent(QCloseEvent* event) {
    if (!search_.closeAllowed()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmSearch::reject() {
    if (search_.closeAllowed()) {
        QDialog::reject();
    }
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Label5 || watched == Image1) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openSponsorPage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSearch::openSponsorPage() {
    ShellOpen(sponsorAddress(vendorSite_, Text1->text().toStdString()), shell_, prompts_);
}

void frmSearch::setTermEnabled(bool enabled) {
    Text1->setEnabled(enabled);
}

void frmSearch::setTerm(std::string_view text) {
    Text1->setText(qtext(text));
}

void frmSearch::focusTerm() {
    Text1->setFocus();
}

void frmSearch::setOkEnabled(bool enabled) {
    cmdOK->setEnabled(enabled);
}

void frmSearch::setOkCaption(std::string_view caption) {
    cmdOK->setText(qtext(caption));
}

void frmSearch::setBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void frmSearch::showProgress(int value, int maximum) {
    progbar1->setMaximum(maximum);
    progbar1->setValue(value);
}

void frmSearch::setTimerRunning(bool running) {
    if (running) {
        Timer1->start();
    } else {
        Timer1->stop();
    }
}

void frmSearch::closeForm() {
    accept();
}

}  // namespace kinvo
