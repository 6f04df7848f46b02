#pragma once
// Shows the category box in a QComboBox. The box takes no typing: every key that would type
// (and the Delete key) is dropped before it reaches the combo box; arrow keys still move through
// the entries. Choosing an entry puts it into the box's text and runs the click handler.

#include <QObject>

#include <functional>

class QComboBox;

namespace kinvo {

class CategoryBox;

class ComboBinding : public QObject {
  public:
    ComboBinding(CategoryBox& box, QComboBox& combo, std::function<void()> onClick);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showItems();
    void showText();

    CategoryBox& box_;
    QComboBox& combo_;
    std::function<void()> onClick_;
};

}  // namespace kinvo
