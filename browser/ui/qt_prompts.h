#pragma once
// The prompts as Qt message boxes, captioned with the program's title.

#include "browser/core/prompts.h"

#include <functional>

class QWidget;

namespace kinvo {

class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}

    void setParent(QWidget* parent) { parent_ = parent; }
    // What showSettingsDialog runs (the program: frmSetup over the main window); nothing until
    // one is set.
    void setSettingsDialog(std::function<void()> show) { settingsDialog_ = std::move(show); }

    Answer message(std::string_view text, Buttons buttons, Icon icon) override;
    void showSettingsDialog() override;

  private:
    QWidget* parent_;
    std::function<void()> settingsDialog_;
};

}  // namespace kinvo
