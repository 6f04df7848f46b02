#include "browser/ui/qt_input_box.h"

#include "browser/core/display_text.h"

#include <QInputDialog>

namespace kinvo {

std::string QtInputBox::ask(std::string_view prompt, std::string_view title,
                            std::string_view preset) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent_, displayText(title), displayText(prompt),
                                                 QLineEdit::Normal, displayText(preset), &ok);
    return ok ? answer.toStdString() : std::string();
}

}  // namespace kinvo
