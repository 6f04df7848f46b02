#pragma once
// The text-input box as a Qt dialog (QInputDialog), modal on its parent window.

#include "browser/core/input_box.h"

class QWidget;

namespace kinvo {

class QtInputBox : public InputBox {
  public:
    explicit QtInputBox(QWidget* parent) : parent_(parent) {}
    std::string ask(std::string_view prompt, std::string_view title,
                    std::string_view preset) override;

  private:
    QWidget* parent_;
};

}  // namespace kinvo
