// Number text as the tools write and show it, and number text read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "number_text.hpp"
#include "parse_number.hpp"

namespace {

TEST(NumberText, WrittenForms) {
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(-0.0), " 0");
    EXPECT_EQ(NumberText(3), " 3");
    EXPECT_EQ(NumberText(100), " 100");
    EXPECT_EQ(NumberText(1.5), " 1.5");
    EXPECT_EQ(NumberText(-2), "-2");
    EXPECT_EQ(NumberText(0.25), " .25");
    EXPECT_EQ(NumberText(-0.5), "-.5");
    EXPECT_EQ(NumberText(0.05), " .05");
    EXPECT_EQ(NumberText(0.0001), " .0001");
    EXPECT_EQ(NumberText(1.0 / 3), " .333333333333333");
    EXPECT_EQ(NumberText(2.0 / 3), " .666666666666667");
    EXPECT_EQ(NumberText(0.1 + 0.2), " .3");
    EXPECT_EQ(NumberText(1.0 / 24), " 4.16666666666667E-02");
    EXPECT_EQ(NumberText(1.0 / 7000), " 1.42857142857143E-04");
    EXPECT_EQ(NumberText(6.12323399573677E-17), " 6.12323399573677E-17");
    EXPECT_EQ(NumberText(123456789012345.0), " 123456789012345");
    EXPECT_EQ(NumberText(1E15), " 1E+15");
    EXPECT_EQ(NumberText(1234567890123456.0), " 1.23456789012346E+15");
    EXPECT_EQ(NumberText(4), " 4");
}

TEST(NumberText, FormBoundaries) {
    EXPECT_EQ(NumberText(999999999999999.0), " 999999999999999");
    EXPECT_EQ(NumberText(9999999999999999.0), " 1E+16");  // rounds up into the next decade
    EXPECT_EQ(NumberText(0.1), " .1");
    EXPECT_EQ(NumberText(1E-15), " .000000000000001");  // n - E = 16: still fixed
    EXPECT_EQ(NumberText(1.5E-15), " 1.5E-15");
    EXPECT_EQ(NumberText(-1E300), "-1E+300");
    EXPECT_EQ(NumberText(5E-324), " 4.94065645841247E-324");
    EXPECT_EQ(NumberText(120.5), " 120.5");
    EXPECT_EQ(NumberText(-10.5), "-10.5");
    EXPECT_EQ(NumberText(1.79489673696541E-09), " 1.79489673696541E-09");
    EXPECT_THROW(NumberText(std::numeric_limits<double>::infinity()), Failure);
}

TEST(PlainNumberText, ShownForms) {
    EXPECT_EQ(PlainNumberText(7), "7");
    EXPECT_EQ(PlainNumberText(0.5), "0.5");
    EXPECT_EQ(PlainNumberText(-0.25), "-0.25");
    EXPECT_EQ(PlainNumberText(1.0 / 24), "4.16666666666667E-02");
    EXPECT_EQ(PlainNumberText(0), "0");
    EXPECT_EQ(PlainNumberText(-32768), "-32768");
    EXPECT_EQ(PlainNumberText(0.0001), "0.0001");
}

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
    auto number = [](std::string_view text) {
        try {
            ParseNumber(text);
        } catch (const Failure& f) {
            return f.Number();
        }
        return 0;
    };
    for (std::string_view text : {"", "   ", "abc", "1.5x", ".", "+", "1..2", "1.2.3", "e5",
                                  "1e", "1e+", "inf", "nan", "0x10", "1,5", "\t1", "- 1"})
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

TEST(NumberText, RoundTripGivesTheValueRoundedTo15Digits) {
    std::mt19937_64 random(12345);
    std::uniform_int_distribution<uint64_t> bits;
    int checked = 0;
    while (checked < 20000) {
        uint64_t b = bits(random);
        double value;
        std::memcpy(&value, &b, sizeof value);
        if (!std::isfinite(value)) continue;
        ++checked;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.14e", value);
        double rounded = std::strtod(expected, nullptr);
        EXPECT_EQ(ParseNumber(NumberText(value)), rounded) << expected;
    }
}

}  // namespace
