#include "browser/core/shell_open.h"

#include "browser/core/prompts.h"
#include "browser/core/texts.h"

namespace kinvo {

void ShellOpen(std::string_view target, ShellOpener& opener, Prompts& prompts) {
    if (!opener.open(target)) {
        prompts.message(texts::kShellOpenFailed, Prompts::Buttons::Ok, Prompts::Icon::None);
    }
}

}  // namespace kinvo
