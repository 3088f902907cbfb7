// Number text read back: the numbers of list files, point files and models.
#include "parse_number.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "failure_of.hpp"

namespace scene {

namespace {

TEST(ParseNumber, AcceptedForms) {
    EXPECT_EQ(ParseNumber("1.5"), 1.5);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber(" -2 "), -2);
    EXPECT_EQ(ParseNumber("1e3"), 1000);
    EXPECT_EQ(ParseNumber("0.000"), 0);
    EXPECT_EQ(ParseNumber("+4"), 4);
    EXPECT_EQ(ParseNumber("5."), 5);
    EXPECT_EQ(ParseNumber("2.5E-2"), 0.025);
    EXPECT_EQ(ParseNumber("007"), 7);
    EXPECT_EQ(ParseNumber("1e-400"), 0);  // below the smallest double: zero, not a failure
    EXPECT_EQ(ParseNumber(std::string(400, '0') + "1"), 1);
}

TEST(ParseNumber, RejectedForms) {
    auto number = [](std::string_view text) { return FailureNumberOf([&] { ParseNumber(text); }); };
    for (std::string_view text : {"", "   ", "abc", "1.5x", ".", "+", "1..2", "1.2.3", "e5", "1e",
                                  "1e+", "inf", "nan", "0x10", "1,5", "\t1", "- 1"})
        EXPECT_EQ(number(text), 13) << text;
    EXPECT_EQ(number("1e400"), 6);
    EXPECT_EQ(number("-" + std::string(400, '9')), 6);
}

TEST(ParseInteger, RoundsHalfToEvenWithin16Bits) {
    EXPECT_EQ(ParseInteger("2.5"), 2);
    EXPECT_EQ(ParseInteger("3.5"), 4);
    EXPECT_EQ(ParseInteger("-2.5"), -2);
    EXPECT_EQ(ParseInteger("007"), 7);
    EXPECT_EQ(ParseInteger(" 5"), 5);
    EXPECT_EQ(ParseInteger("32767"), 32767);
    EXPECT_EQ(ParseInteger("-32768"), -32768);
    EXPECT_THROW(ParseInteger("40000"), Failure);
    EXPECT_THROW(ParseInteger("32767.5"), Failure);
    EXPECT_THROW(ParseInteger("x"), Failure);
}

TEST(ParseNumber, MatchesCorrectRoundingForDecimalText) {
    std::mt19937_64 random(5);
    std::uniform_int_distribution<int> digitCount(1, 22), digit(0, 9), pointAt(0, 22),
        exponent(-30, 30), form(0, 3);
    for (int i = 0; i < 200000; ++i) {
        std::string text = i % 2 ? "-" : "";
        int n = digitCount(random), point = pointAt(random);
        for (int k = 0; k < n; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        if (form(random) == 0) {
            text += 'e';
            text += std::to_string(exponent(random));
        }
        ASSERT_EQ(ParseNumber(text), std::strtod(text.c_str(), nullptr)) << text;
    }
}

// Texts exactly halfway between two doubles, of 17 to 19 digits (beyond the exact shortcut),
// read as the even one: (2m + 1) * 2^(s - 1) for a 53-bit m, and (2m + 1) * 5 / 10.
TEST(ParseNumber, HalfwayTextsGoToTheEvenDouble) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t odd = 2 * ((uint64_t{1} << 52) | (random() >> 12)) + 1;
        std::string text = std::to_string(i % 2 ? odd * 5 : odd << (1 + random() % 9));
        if (i % 2) text.insert(text.size() - 1, ".");
        ASSERT_EQ(ParseNumber(text), std::strtod(text.c_str(), nullptr)) << text;
    }
}

}  // namespace

}  // namespace scene
