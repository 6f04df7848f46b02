// What the support form accepts, and how its stored text reaches an operator's terminal.
#include "dataserver/server/form_text.h"

#include <gtest/gtest.h>

namespace kinvo::ds {
namespace {

using namespace std::string_literals;

TEST(FormText, AcceptsUtf8TextAndRefusesControlsAndBrokenSequences) {
    struct Case {
        std::string text;
        bool multiline;
        bool accepted;
    };
    for (const Case& c : std::vector<Case>{
             {"Ann Smith", false, true},
             {"J\xC3\xBCrgen \xE2\x82\xAC \xF0\x9F\x93\xBA", false, true},  // ü € and an emoji
             {"line one\r\nline two\tend", true, true},
             {"line one\nline two", false, false},
             {"tab\tin a name", false, false},
             {"cut\0off"s, true, false},
             {"\x1b[2J", true, false},  // a terminal's clear-screen
             {"del\x7f", true, false},
             {"\xC2\x9B"
              "31m",
              true, false},                       // C1 control (CSI) as UTF-8
             {"\xC3", false, false},              // cut short
             {"\xC0\xAF", false, false},          // overlong "/"
             {"\xED\xA0\x80", false, false},      // a surrogate
             {"\xF4\x90\x80\x80", false, false},  // past U+10FFFF
             {"\xFF", false, false},
         }) {
        EXPECT_EQ(!formTextProblem(c.text, c.multiline), c.accepted) << terminalText(c.text);
    }
}

TEST(FormText, TerminalTextShowsEveryUnsafeByteVisibly) {
    struct Case {
        std::string text;
        bool multiline;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{
             {"plain \xC3\xBC", false, "plain \xC3\xBC"},
             {"a\0b"s, false, "a\\x00b"},
             {"\x1b[31mred", false, "\\x1b[31mred"},
             {"\xC2\x9B", false, "\\xc2\\x9b"},
             {"bad \xFF\xC3", false, "bad \\xff\\xc3"},
             {"back\\slash", false, "back\\\\slash"},
             {"a\r\nb\tc", false, "a\\r\\nb\\tc"},
             // A forged entry stays inside the body: every line after the first is indented.
             {"hi\r\n#99 2020-01-01 from Boss", true, "hi\\r\n  #99 2020-01-01 from Boss"},
         }) {
        EXPECT_EQ(terminalText(c.text, c.multiline, "  "), c.shown);
    }
}

}  // namespace
}  // namespace kinvo::ds
