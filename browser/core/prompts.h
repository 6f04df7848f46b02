#pragma once
// How the browser's logic talks to the user: message boxes, questions and the settings dialog.
// The windowed program answers with real dialogs; tests and the headless listing answer with
// scripts. Every call comes from the user-interface thread and returns when the user has
// answered; the caption of every box is the program's title.

#include <string_view>

namespace kinvo {

class Prompts {
  public:
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompts() = default;

    // Shows text with the given buttons and icon; the button the user chose. A box closed
    // without a choice answers Cancel (OkCancel), No (YesNo) or Ok (Ok).
    virtual Answer message(std::string_view text, Buttons buttons, Icon icon) = 0;

    // Shows the settings dialog modally; returns when it has closed.
    virtual void showSettingsDialog() = 0;
};

}  // namespace kinvo
