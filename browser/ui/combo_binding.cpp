#include "browser/ui/combo_binding.h"

#include "browser/core/category_box.h"
#include "browser/core/display_text.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace kinvo {

ComboBinding::ComboBinding(CategoryBox& box, QComboBox& combo, std::function<void()> onClick)
    : QObject(&combo), box_(box), combo_(combo), onClick_(std::move(onClick)) {
    combo.setEditable(false);
    combo.installEventFilter(this);
    connect(&box, &CategoryBox::itemsChanged, this, &ComboBinding::showItems);
    connect(&box, &CategoryBox::textChanged, this, &ComboBinding::showText);
    connect(&box, &CategoryBox::enabledChanged, &combo, &QComboBox::setEnabled);
    connect(&combo, &QComboBox::activated, this, [this](int index) {
        box_.setText(box_.item(index));
        onClick_();
    });
    showItems();
}

bool ComboBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &combo_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete || !key->text().isEmpty()) {
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ComboBinding::showItems() {
    const QSignalBlocker blocker(&combo_);
    combo_.clear();
    for (int i = 0; i < box_.count(); ++i) {
        combo_.addItem(displayText(box_.item(i)));
    }
    showText();
}

void ComboBinding::showText() {
    const QSignalBlocker blocker(&combo_);
    int index = -1;
    for (int i = 0; i < box_.count() && index < 0; ++i) {
        if (box_.item(i) == box_.text()) {
            index = i;
        }
    }
    combo_.setCurrentIndex(index);
}

}  // namespace kinvo
