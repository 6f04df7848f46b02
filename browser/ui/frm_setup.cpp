#include "browser/ui/frm_setup.h"

#include "browser/core/texts.h"
#include "browser/ui/pictures.h"
#include "browser/ui/qt_text.h"
#include "browser/ui/stored_colour.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kinvo {

namespace {

void fill(QComboBox& combo, const std::vector<std::string>& entries) {
    combo.clear();
    for (const std::string& entry : entries) {
        combo.addItem(QString::fromStdString(entry));
    }
}

// Chooses the entry that reads name without regard to case; none when the list lacks it.
void choose(QComboBox& combo, std::string_view name) {
    combo.setCurrentIndex(combo.findText(qtext(name), Qt::MatchFixedString));
}

}  // namespace

frmSetup::frmSetup(SettingsStore& settings, Prompts& prompts, MainWindowHost& host,
                   QWidget& mainWindow, InputBox* inputBox)
    : QDialog(&mainWindow),
      topmostPause_(mainWindow, settings),
      ownInputBox_(this),
      dialog_({settings, prompts, inputBox != nullptr ? *inputBox : ownInputBox_, host, *this,
               [] { QCoreApplication::processEvents(); }}) {
    build();
    dialog_.load();
}

frmSetup::~frmSetup() = default;

void frmSetup::build() {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(qtext(texts::kSetupCaption));
    setWindowIcon(programIcon());
    setModal(true);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* general = new QWidget(SSTab1);
    SSTab1->addTab(general, qtext(texts::kSetupTab));

    const auto makeBox = [general](const char* name, std::string_view caption) {
        auto* box = new QCheckBox(qtext(caption), general);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    chkSystem = makeBox("chkSystem", texts::kSetupTray);
    chkAdult = makeBox("chkAdult", texts::kSetupAdult);
    chkShowP = makeBox("chkShowP", texts::kSetupShowControls);
    chkTop = makeBox("chkTop", texts::kSetupAlwaysOnTop);

    ComboF = new QComboBox(general);
    ComboF->setObjectName(QStringLiteral("ComboF"));
    ComboF->setEditable(false);
    ComboF->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboF->setMinimumContentsLength(22);
    comboS = new QComboBox(general);
    comboS->setObjectName(QStringLiteral("comboS"));
    comboS->setEditable(true);
    comboS->setInsertPolicy(QComboBox::NoInsert);
    comboS->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comboS->setMinimumContentsLength(4);
    lblColor = new QLabel(general);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    lblColor->setFrameShape(QFrame::Panel);
    lblColor->setFrameShadow(QFrame::Sunken);
    lblColor->setAutoFillBackground(true);
    lblColor->setMinimumSize(64, 24);
    lblColor->setCursor(Qt::PointingHandCursor);
    lblColor->setAccessibleName(qtext(texts::kSetupColour));
    comboSpeed = new QComboBox(general);
    comboSpeed->setObjectName(QStringLiteral("comboSpeed"));
    comboSpeed->setEditable(false);
    for (QObject* watched : {static_cast<QObject*>(ComboF), static_cast<QObject*>(comboSpeed),
                             static_cast<QObject*>(lblColor)}) {
        watched->installEventFilter(this);
    }

    auto* boxes = new QVBoxLayout;
    for (QCheckBox* box : {chkSystem, chkAdult, chkShowP, chkTop}) {
        boxes->addWidget(box);
    }
    boxes->addStretch(1);

    auto* choices = new QGridLayout;
    choices->setColumnStretch(1, 1);
    int row = 0;
    const auto addChoice = [&](std::string_view caption, QWidget* control, Qt::Alignment align) {
        auto* label = new QLabel(qtext(caption), general);
        label->setBuddy(control);
        choices->addWidget(label, row, 0);
        choices->addWidget(control, row++, 1, align);
    };
    addChoice(texts::kSetupFont, ComboF, {});
    addChoice(texts::kSetupSize, comboS, Qt::AlignLeft);
    addChoice(texts::kSetupColour, lblColor, Qt::AlignLeft);
    addChoice(texts::kSetupSpeed, comboSpeed, {});

    auto* tabLayout = new QHBoxLayout(general);
    tabLayout->addLayout(boxes);
    tabLayout->addSpacing(16);
    tabLayout->addLayout(choices, 1);

    cmdOK = new QPushButton(qtext(texts::kSetupOk), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(qtext(texts::kSetupCancel), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkAdult, &QCheckBox::clicked, this, [this] { dialog_.adultClicked(); });
    connect(chkShowP, &QCheckBox::clicked, this, [this] { dialog_.showControlsClicked(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        dialog_.ok();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QCheckBox* frmSetup::checkBox(Box box) const {
    switch (box) {
        case Box::Tray:
            return chkSystem;
        case Box::Adult:
            return chkAdult;
        case Box::ShowControls:
            return chkShowP;
        case Box::AlwaysOnTop:
            return chkTop;
    }
    return chkSystem;
}

void frmSetup::setBox(Box box, bool ticked) {
    checkBox(box)->setChecked(ticked);
}

bool frmSetup::box(Box box) const {
    return checkBox(box)->isChecked();
}

std::vector<std::string> frmSetup::screenFonts() const {
    std::vector<std::string> out;
    for (const QString& family : QFontDatabase::families()) {
        out.push_back(family.toStdString());
    }
    return out;
}

void frmSetup::setFontNames(const std::vector<std::string>& names) {
    fill(*ComboF, names);
}

void frmSetup::chooseFont(std::string_view name) {
    choose(*ComboF, name);
}

std::string frmSetup::fontName() const {
    return ComboF->currentIndex() < 0 ? std::string() : ComboF->currentText().toStdString();
}

void frmSetup::setSizes(const std::vector<std::string>& sizes) {
    fill(*comboS, sizes);
}

void frmSetup::setSizeText(std::string_view text) {
    comboS->setEditText(qtext(text));
}

std::string frmSetup::sizeText() const {
    return comboS->currentText().toStdString();
}

void frmSetup::setColour(std::int64_t colour) {
    colour_ = colour;
    QPalette palette = lblColor->palette();
    palette.setColor(QPalette::Window, fromStoredColour(colour));
    lblColor->setPalette(palette);
}

std::int64_t frmSetup::colour() const {
    return colour_;
}

void frmSetup::setSpeeds(const std::vector<std::string>& speeds) {
    fill(*comboSpeed, speeds);
}

void frmSetup::chooseSpeed(std::string_view speed) {
    choose(*comboSpeed, speed);
}

std::string frmSetup::speed() const {
    return comboSpeed->currentIndex() < 0 ? std::string() : comboSpeed->currentText().toStdString();
}

void frmSetup::pickColour() {
    QColorDialog picker(this);
    picker.setWindowTitle(qtext(texts::kColourDialogTitle));
    if (picker.exec() == QDialog::Accepted) {
        lastPicked_ = picker.selectedColor();
    }
    setColour(toStoredColour(lastPicked_));
}

bool frmSetup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblColor && event->type() == QEvent::MouseButtonRelease) {
        pickColour();
        return true;
    }
    if ((watched == ComboF || watched == comboSpeed) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Delete || (!text.isEmpty() && text.at(0).isPrint())) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kinvo
