#include "channel/type_string.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "channel/command_table.h"
#include "channel/protocol.h"

namespace vexa {
namespace {

std::vector<uint8_t> bytes(std::initializer_list<int> list) {
    std::vector<uint8_t> out;
    for (int b : list) {
        out.push_back(static_cast<uint8_t>(b));
    }
    return out;
}

struct ReadCase {
    const char* what;
    std::vector<uint8_t> payload;
    int32_t fill;
    const char* types;
    bool ok;
    Values expected;
};

TEST(TypeStringRead, FollowsTheReadingRules) {
    const ReadCase cases[] = {
        {"l little-endian", bytes({0x78, 0x56, 0x34, 0x12}), 4, "l", true, {Value::l(0x12345678)}},
        {"l negative", bytes({0xff, 0xff, 0xff, 0xff}), 4, "l", true, {Value::l(-1)}},
        {"d sign-extended", bytes({0xfe, 0xff}), 2, "d", true, {Value::d(-2)}},
        {"s with its zero", bytes({'a', 'b', 0}), 3, "s", true, {Value::s("ab")}},
        {"empty s", bytes({0}), 1, "s", true, {Value::s("")}},
        {"sl packed without alignment",
         bytes({'x', 0, 7, 0, 0, 0}),
         6,
         "sl",
         true,
         {Value::s("x"), Value::l(7)}},
        {"dld",
         bytes({1, 0, 2, 0, 0, 0, 3, 0}),
         8,
         "dld",
         true,
         {Value::d(1), Value::l(2), Value::d(3)}},
        {"fill one byte too large", bytes({1, 0, 0, 0, 0}), 5, "l", false, {}},
        {"fill one byte too small", bytes({1, 0, 0, 0}), 3, "l", false, {}},
        {"fill -1 left by the last read", bytes({1, 0, 0, 0}), -1, "l", false, {}},
        {"s without its zero inside fill", bytes({'a', 'b', 'c', 0}), 3, "s", false, {}},
        {"a value that does not fit fails the later ones",
         bytes({1, 0, 'a', 0}),
         3,
         "ls",
         false,
         {}},
        {"fill beyond the payload", bytes({'a', 'b'}), 70000, "s", false, {}},
        {"unknown letter", bytes({1, 0, 0, 0}), 4, "x", false, {}},
        {"no letters and nothing written", bytes({}), 0, "", true, {}},
        {"no letters but bytes written", bytes({1}), 1, "", false, {}},
    };
    for (const ReadCase& c : cases) {
        auto got = readValues(c.payload, c.fill, c.types);
        EXPECT_EQ(got.has_value(), c.ok) << c.what;
        if (got && c.ok) {
            EXPECT_EQ(*got, c.expected) << c.what;
        }
    }
}

TEST(TypeStringWrite, RoundTripsEveryTypeStringOfTheTable) {
    std::vector<uint8_t> payload(kPayloadSize);
    for (const CommandInfo& info : allCommands()) {
        for (std::string_view types : {info.args, info.results}) {
            Values values;
            int n = 0;
            for (char letter : types) {
                ++n;
                values.push_back(letter == 'd'   ? Value::d(-n)
                                 : letter == 'l' ? Value::l(n * 100000)
                                                 : Value::s(std::string(n, 'a' + n)));
            }
            auto fill = writeValues(payload, values);
            ASSERT_TRUE(fill) << info.name;
            EXPECT_EQ(static_cast<size_t>(*fill), packedSize(values));
            auto back = readValues(payload, *fill, types);
            ASSERT_TRUE(back) << info.name << " " << types;
            EXPECT_EQ(*back, values) << info.name;
        }
    }
}

TEST(TypeStringWrite, DWritesTheLow16BitsAndRefusesWhatDoesNotFit) {
    std::array<uint8_t, 8> payload{};
    payload.fill(0xAA);
    ASSERT_EQ(writeValues(payload, {Value{'d', 0x12345, {}}}), 2);
    EXPECT_EQ(payload[0], 0x45);
    EXPECT_EQ(payload[1], 0x23);
    EXPECT_EQ(payload[2], 0xAA);

    payload.fill(0xAA);
    EXPECT_FALSE(writeValues(payload, {Value::s("12345678")}));  // 9 bytes with its zero
    EXPECT_EQ(payload[0], 0xAA) << "a refused write leaves the payload untouched";
    EXPECT_FALSE(writeValues(payload, {Value::s(std::string("a\0b", 3))}));
    EXPECT_EQ(writeValues(payload, {Value::s("1234567")}), 8);
}

TEST(TypeStringLimits, ApplyPerTextArgumentInOrder) {
    const uint32_t limits[] = {3, 1};
    EXPECT_TRUE(textsWithinLimits({Value::s("abc"), Value::l(9), Value::s("x")}, limits));
    EXPECT_FALSE(textsWithinLimits({Value::s("abcd"), Value::s("x")}, limits));
    EXPECT_FALSE(textsWithinLimits({Value::s("abc"), Value::s("xy")}, limits));
    EXPECT_TRUE(textsWithinLimits({Value::s("abc"), Value::s("x"), Value::s("long")}, limits));
}

TEST(CommandTable, RowsAreConsistent) {
    for (const CommandInfo& info : allCommands()) {
        EXPECT_TRUE(isTypeString(info.args)) << info.name;
        EXPECT_TRUE(isTypeString(info.results)) << info.name;
        size_t texts = 0;
        for (char c : info.args) {
            texts += c == 's';
        }
        EXPECT_EQ(info.limits().size(), texts) << info.name << ": one limit per text argument";
        EXPECT_EQ(findCommand(info.number), &info);
    }
    EXPECT_EQ(findCommand(736), nullptr);
    for (int32_t n = 769; n <= 799; ++n) {
        EXPECT_EQ(findCommand(n), nullptr) << n;
    }
    EXPECT_EQ(findCommand(CMD_GET_FILE_INFO)->limits()[1], 127u);
    EXPECT_EQ(findCommand(CMD_SET_INSTANCE_TITLE)->limits()[0], 1023u);
}

}  // namespace
}  // namespace vexa
