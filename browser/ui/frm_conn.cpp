#include "browser/ui/frm_conn.h"

#include "browser/core/prompts.h"
#include "browser/core/settings_store.h"
#include "browser/core/texts.h"
#include "browser/ui/pictures.h"
#include "browser/ui/qt_text.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kinvo {

frmConn::frmConn(SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), settings_(settings), prompts_(prompts) {
    setObjectName(QStringLiteral("frmConn"));
    setWindowTitle(qtext(texts::kConnCaption));
    setWindowIcon(programIcon());
    setStyleSheet(QStringLiteral(
        "#frmConn { background: #0a1c4a; } QLabel { color: #dfe8ff; }"
        " QLabel[heading=\"true\"] { color: #ffd34d; font-weight: bold; font-size: 11pt; }"
        " QRadioButton { color: #dfe8ff; }"));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);

    const struct {
        std::string_view heading, text, value;
        QRadioButton** button;
    } rows[] = {
        {texts::kConnAllHeading, texts::kConnAllText, texts::kAllContent, &Option2},
        {texts::kConnBroadbandHeading, texts::kConnBroadbandText, texts::kBroadband, &Option1},
        {texts::kConnDialupHeading, texts::kConnDialupText, texts::kDialup, &Option3},
    };
    int line = 0;
    for (const auto& row : rows) {
        auto* heading = new QLabel(qtext(row.heading), this);
        heading->setProperty("heading", true);
        grid->addWidget(heading, line++, 0, 1, 2);
        auto* option = new QRadioButton(this);
        option->setAccessibleName(qtext(row.text));
        auto* text = new QLabel(qtext(row.text), this);
        text->setWordWrap(true);
        text->setMinimumWidth(380);
        text->setBuddy(option);
        grid->addWidget(option, line, 0, Qt::AlignTop);
        grid->addWidget(text, line++, 1);
        *row.button = option;
        const std::string value(row.value);
        connect(option, &QRadioButton::clicked, this,
                [this, value] { settings_.write(texts::kKeySpeed, value); });
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmConn::cmdOK_Click);
    grid->addWidget(ok, line, 1, Qt::AlignRight);
}

bool frmConn::chosen() const {
    return Option1->isChecked() || Option2->isChecked() || Option3->isChecked();
}

bool frmConn::refuseWithoutChoice() {
    if (chosen()) {
        return false;
    }
    prompts_.message(texts::kConnRefusal, Prompts::Buttons::Ok, Prompts::Icon::Critical);
    return true;
}

void frmConn::cmdOK_Click() {
    if (!refuseWithoutChoice()) {
        accept();
    }
}

void frmConn::closeEvent(QCloseEvent* event) {
    if (refuseWithoutChoice()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmConn::reject() {
    if (!refuseWithoutChoice()) {
        QDialog::reject();
    }
}

}  // namespace kinvo
