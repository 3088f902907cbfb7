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
#include "reference_number_text.hpp"

namespace scene {

namespace {

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

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
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
