#pragma once
// Message boxes as lines on a stream, for the headless entries: every question gets the answer
// that ends the run (OK, Cancel, No).

#include "browser/core/prompts.h"

#include <cstdio>

namespace kinvo {

class StreamPrompts : public Prompts {
  public:
    explicit StreamPrompts(std::FILE* messages) : messages_(messages) {}

    Answer message(std::string_view text, Buttons buttons, Icon) override;
    void showSettingsDialog() override {}

  private:
    std::FILE* messages_;
};

}  // namespace kinvo
