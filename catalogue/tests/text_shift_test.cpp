#include "catalogue/text_shift.h"

#include <gtest/gtest.h>

#include <string>

namespace kinvo {
namespace {

TEST(ShiftDigits, HalfRoundsToEvenNeighbour) {
    struct Case {
        std::size_t length, half;
        int first, second;
    };
    const Case cases[] = {
        {0, 0, 0, 0},   {1, 0, 1, 0},   {2, 1, 2, 1},   {3, 2, 3, 2},     {5, 2, 5, 2},
        {7, 4, 7, 4},   {9, 4, 9, 4},   {11, 6, 1, 6},  {13, 6, 1, 6},    {15, 8, 1, 8},
        {20, 10, 2, 1}, {21, 10, 2, 1}, {23, 12, 2, 1}, {199, 100, 1, 1}, {250, 125, 2, 1},
    };
    for (const Case& c : cases) {
        const ShiftDigits d = shiftDigitsFor(c.length);
        EXPECT_EQ(d.half, c.half) << "length " << c.length;
        EXPECT_EQ(d.first, c.first) << "length " << c.length;
        EXPECT_EQ(d.second, c.second) << "length " << c.length;
    }
}

TEST(TextShift, KnownTexts) {
    struct Case {
        std::string plain, shifted;
    };
    const Case cases[] = {
        {"abc", "dee"},
        {"", ""},
        {"a", "a"},                       // half 0: the one byte moves by the second digit, 0
        {"ab", "cc"},                     // d1 = 2, d2 = 1
        {"hello", "mjnnq"},               // half 2: d1 = 5, d2 = 2
        {"Music Video", "Nvtjd!\\ojku"},  // length 11: half 6, d1 = 1, d2 = 6
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeText(c.plain), c.shifted) << c.plain;
        EXPECT_EQ(DecodeText(c.shifted, false), c.plain) << c.shifted;
    }
}

TEST(TextShift, BytesThatWouldLeaveTheRangeAreDropped) {
    // Length 3: the first two bytes move by 3, the last by 2.
    EXPECT_EQ(EncodeText(std::string("\xFE"
                                     "a"
                                     "\xFF",
                                     3)),
              "d");
    EXPECT_EQ(DecodeText(std::string("\x02"
                                     "b"
                                     "\x01",
                                     3),
                         false),
              "_");
    // A NUL byte is an ordinary byte.
    EXPECT_EQ(EncodeText(std::string("\0\0\0", 3)), std::string("\x03\x03\x02", 3));
}

TEST(TextShift, EveryByteRoundTripsWhereNothingDrops) {
    // For each byte value, a text of that byte at every length where both digits keep it in range.
    for (int b = 0; b < 256; ++b) {
        for (std::size_t length = 1; length <= 40; ++length) {
            const ShiftDigits d = shiftDigitsFor(length);
            const std::string plain(length, static_cast<char>(b));
            const bool firstPartDrops = d.half > 0 && b + d.first > 255;
            const bool secondPartDrops = d.half < length && b + d.second > 255;
            if (firstPartDrops || secondPartDrops) {
                EXPECT_LT(EncodeText(plain).size(), length) << b << " at length " << length;
                continue;
            }
            EXPECT_EQ(DecodeText(EncodeText(plain), false), plain) << b << " at length " << length;
        }
    }
    // A mixed text holding all 256 values, low enough to survive the shift of its own length.
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string low = all.substr(0, 250);  // length 250: digits 2 and 1
    EXPECT_EQ(DecodeText(EncodeText(low), false), low);
}

TEST(TextShift, DecodeAddsSchemeOnlyWhenAskedAndMissing) {
    const std::string plainAddress = "example.org/tv.asx";
    const std::string withScheme = "mms://example.org/live";
    EXPECT_EQ(DecodeText(EncodeText(plainAddress), true), "http://" + plainAddress);
    EXPECT_EQ(DecodeText(EncodeText(plainAddress), false), plainAddress);
    EXPECT_EQ(DecodeText(EncodeText(withScheme), true), withScheme);
    EXPECT_EQ(DecodeText("", true), "http://");
}

}  // namespace
}  // namespace kinvo
