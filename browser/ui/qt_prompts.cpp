#include "browser/ui/qt_prompts.h"

#include "browser/core/texts.h"

#include <QMessageBox>

namespace kinvo {

Prompts::Answer QtPrompts::message(std::string_view text, Buttons buttons, Icon icon) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromUtf8(texts::kTitle.data(), texts::kTitle.size()));
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    return buttons == Buttons::YesNo ? Answer::No
           : buttons == Buttons::Ok  ? Answer::Ok
                                     : Answer::Cancel;
}

void QtPrompts::showSettingsDialog() {
    if (settingsDialog_) {
        settingsDialog_();
    }
}

}  // namespace kinvo
