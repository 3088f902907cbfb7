// The number path against printf and strtod over many more values than the tests take:
// NumberText against printf's correctly rounded 15 digits, ParseNumber against strtod.
//   number_check COUNT     (values of each kind; prints the differences, exit 1 if any)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "number_text.hpp"
#include "parse_number.hpp"

namespace {

// The written form rendered from printf's correctly rounded 15 digits.
std::string ReferenceNumberText(double value) {
    if (value == 0) return " 0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 14);
    int e = std::atoi(buf + 17);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int n = static_cast<int>(digits.size());
    std::string text = value < 0 ? "-" : " ";
    if (e >= 0 && e <= 14) {
        if (n <= e + 1) return text.append(digits).append(static_cast<size_t>(e + 1 - n), '0');
        return text.append(digits, 0, static_cast<size_t>(e + 1))
            .append(".")
            .append(digits, static_cast<size_t>(e + 1));
    }
    if (e < 0 && n - e <= 16)
        return text.append(".").append(static_cast<size_t>(-e - 1), '0').append(digits);
    text += digits[0];
    if (n > 1) text.append(".").append(digits, 1);
    std::snprintf(buf, sizeof buf, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
    return text.append(buf);
}

long differences = 0;

void CheckText(double value) {
    if (NumberText(value) == ReferenceNumberText(value)) return;
    if (++differences <= 10)
        std::printf("NumberText(%.17g) = \"%s\", printf gives \"%s\"\n", value,
                    NumberText(value).c_str(), ReferenceNumberText(value).c_str());
}

void CheckParse(const std::string& text) {
    const double expected = std::strtod(text.c_str(), nullptr);
    const std::optional<double> value = TryParseNumber(text);
    if (value && std::memcmp(&*value, &expected, sizeof expected) == 0) return;
    if (++differences <= 10)
        std::printf("ParseNumber(\"%s\") = %.17g, strtod gives %.17g\n", text.c_str(),
                    value.value_or(NAN), expected);
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> mantissa(1, 10), coordinate(-500, 500), turn(-1, 1);
    std::uniform_int_distribution<int> exponent(-8, 17), digitCount(1, 22), digit(0, 9),
        pointAt(0, 22), smallExponent(-30, 30);
    std::uniform_int_distribution<uint64_t> bits;
    for (long i = 0; i < count; ++i) {
        // Written: any finite double, numbers of every magnitude, turned coordinates, short ones.
        double any;
        const uint64_t b = bits(random);
        std::memcpy(&any, &b, sizeof any);
        if (std::isfinite(any)) CheckText(any);
        CheckText(mantissa(random) * std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1));
        const double c = std::round(coordinate(random) * 10000) / 10000;
        CheckText(c * turn(random) + coordinate(random));
        CheckText(c);
        // Read: decimal texts of every length, the written forms, short coordinates.
        std::string text = i % 2 ? "-" : "";
        for (int k = 0, n = digitCount(random), point = pointAt(random); k < n; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        if (i % 4 == 0) text.append("e").append(std::to_string(smallExponent(random)));
        CheckParse(text);
        CheckParse(NumberText(mantissa(random) * std::pow(10.0, exponent(random))));
        CheckParse(NumberText(c));
    }
    std::printf("number_check: %ld written and %ld read values, %ld differ from printf/strtod\n",
                4 * count, 3 * count, differences);
    return differences == 0 ? 0 : 1;
}
