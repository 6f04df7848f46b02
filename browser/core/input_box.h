#pragma once
// A text-input box: a prompt, a title and a preset text the user may edit. The windowed program
// answers with a dialog; tests with a script. User-interface thread only.

#include <string>
#include <string_view>

namespace kinvo {

class InputBox {
  public:
    virtual ~InputBox() = default;
    // Returns what the user typed; the empty text when the box was cancelled.
    virtual std::string ask(std::string_view prompt, std::string_view title,
                            std::string_view preset) = 0;
};

}  // namespace kinvo
