// Number text as the tools write and show it.
#include "number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "failure.hpp"
#include "parse_number.hpp"
#include "reference_number_text.hpp"

namespace scene {

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

TEST(NumberText, MatchesCorrectRoundingAcrossMagnitudes) {
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> exponent(-8, 17);
    for (int i = 0; i < 200000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        if (i % 3 == 0) value = std::round(value * 1000) / 1000;  // short decimals too
        if (i % 2) value = -value;
        ASSERT_EQ(NumberText(value), ReferenceNumberText(value)) << i;
    }
    // Digit groups at the edges of their ranges (0, 9, 10, 99, 100, 9999, 10000 ...), where
    // the digits are split into parts: a quarter keeps them off the whole-number path.
    for (double group : {0.0, 1.0, 9.0, 10.0, 99.0, 100.0, 999.0, 1000.0, 9999.0, 10000.0, 99999.0,
                         100000.0, 9999999.0, 10000000.0, 99999999.0}) {
        for (double scale : {1.0, 1e4, 1e6, 1e7, 1e8, 1e10}) {
            double value = group * scale + 0.25;
            ASSERT_EQ(NumberText(value), ReferenceNumberText(value)) << value;
            ASSERT_EQ(NumberText(-value / 1e6), ReferenceNumberText(-value / 1e6)) << value;
        }
    }
    // The edges of the plain numbers rounded by an exact product: 1 and 2^49, each side.
    for (double edge : {1.0, 0x1p49})
        for (double value : {std::nextafter(edge, 0), edge, std::nextafter(edge, 1e308)})
            EXPECT_EQ(NumberText(value), ReferenceNumberText(value)) << value;
    // Values whose 16th digit is a 5: the rounding decision lies in the last bits.
    for (double value : {0.1234567890123455, 1.000000000000005, 999999999999999.5,
                         99999.99999999995, 1e-5, 9.999999999999995e-6, 0.30000000000000004})
        EXPECT_EQ(NumberText(value), ReferenceNumberText(value)) << value;
}

// Where the rounding is decided in the last bits, or by the exact fallback: ties (to even) by
// an exact power of ten and by an inexact one, the carry into the next decade, subnormals and
// the largest values.
TEST(NumberText, HardCasesMatchPrintf) {
    std::mt19937_64 random(17);
    auto check = [](double value) { ASSERT_EQ(NumberText(value), ReferenceNumberText(value)); };
    for (int i = 0; i < 20000; ++i) {
        const double n = static_cast<double>(100000000000000 + random() % 800000000000000);
        check(n + 0.5);     // n.5: a tie at the 15th digit, scaled by 10^0
        check(10 * n + 5);  // the same scaled by 10^-1, which is inexact
        check(std::ldexp(2 * std::floor(n / 1220703125) + 1, -14));  // (2k+1) 5^13 / 2 / 10^13
        double up = std::pow(10.0, static_cast<int>(random() % 600) - 300), down = up;
        for (int step = 0; step < 10; ++step) {  // 999999999999999.9... rounds up to 1E+15
            check(up = std::nextafter(up, 1e308));
            check(down = std::nextafter(down, 0));
        }
        check(std::ldexp(static_cast<double>(random() >> 12), -1074));  // subnormal
        check(std::nextafter(std::numeric_limits<double>::max(), 0) - random() % 1000 * 1e292);
    }
}

}  // namespace

}  // namespace scene
