#include "browser/core/category_box.h"

namespace kinvo {

void CategoryBox::clear() {
    items_.clear();
    emit itemsChanged();
    setText({});
}

void CategoryBox::addItem(std::string item) {
    items_.push_back(std::move(item));
    emit itemsChanged();
}

const std::string& CategoryBox::item(int index) const {
    static const std::string kEmpty;
    return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)] : kEmpty;
}

void CategoryBox::setText(std::string text) {
    if (text != text_) {
        text_ = std::move(text);
        emit textChanged();
    }
}

void CategoryBox::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        emit enabledChanged(enabled_);
    }
}

}  // namespace kinvo
