#include "browser/ui/stream_prompts.h"

namespace kinvo {

Prompts::Answer StreamPrompts::message(std::string_view text, Buttons buttons, Icon) {
    std::fwrite(text.data(), 1, text.size(), messages_);
    std::fputc('\n', messages_);
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
    }
    return Answer::Cancel;
}

}  // namespace kinvo
