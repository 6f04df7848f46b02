#include "browser/core/tests/support/test_support.h"

#include <gtest/gtest.h>

namespace kinvo::testing {

Prompts::Answer ScriptedPrompts::message(std::string_view text, Buttons buttons, Icon icon) {
    shown.push_back({std::string(text), buttons, icon});
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers_.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

TemporaryHome::TemporaryHome() {
    qputenv("XDG_CONFIG_HOME", (dir_.path() + QStringLiteral("/config")).toUtf8());
    qputenv("KINVO_HOME", programFolder().toUtf8());
}

TemporaryHome::~TemporaryHome() {
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("KINVO_HOME");
}

}  // namespace kinvo::testing
