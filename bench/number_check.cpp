// The number path against printf and strtod over many more values than the tests take:
// NumberText against printf's correctly rounded 15 digits, ParseNumber against strtod. The
// values take turns among kinds, the hard cases among them: ties, the decade carry, the
// plain/E boundaries, subnormals and the largest values.
//   number_check COUNT     (COUNT written and COUNT read values; prints the differences, exit 1
//                           if any)
#include <algorithm>
#include <cfloat>
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

__extension__ typedef unsigned __int128 Uint128;

long differences = 0;
std::mt19937_64 random(2024);

int Between(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}
double Uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}
double FromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
uint64_t BitsOf(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
// n digits of random, no trailing zero, as text.
std::string Digits(int n) {
    std::string text;
    for (int k = 0; k < n; ++k) text += static_cast<char>('0' + Between(k == 0, 9));
    if (text.back() == '0') text.back() = '7';
    return text;
}
std::string Decimal(Uint128 n) {
    std::string text;
    do text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    while ((n /= 10) != 0);
    return text;
}

double ValueToWrite(long i) {
    const double sign = i % 2 ? -1 : 1;
    const double coordinate = std::round(Uniform(-500, 500) * 10000) / 10000;
    switch (i / 2 % 9) {
        case 0:  // any finite double, subnormals and the largest among them
            for (;;)
                if (const double any = FromBits(random()); std::isfinite(any)) return any;
        case 1:
            return sign * Uniform(1, 10) * std::pow(10.0, Between(-8, 17));
        case 2:
            return coordinate * Uniform(-1, 1) + Uniform(-500, 500);  // a turned point
        case 3:
            return coordinate;
        case 4: {  // a tie: (2n + 1) / 2 * 10^-j for n of 15 digits, exact as a double
            const int j = Between(-2, 21);
            const double five = std::pow(5.0, std::abs(j));
            if (j >= 0)  // 2n + 1 = odd * 5^j
                return sign *
                       std::ldexp(2 * std::floor(Uniform(1e14 / five, 1e15 / five)) + 1, -j - 1);
            const double odd = 2 * std::floor(Uniform(1e14, std::min(1e15, 4.5e15 / five))) + 1;
            return sign * odd * five * std::ldexp(1.0, -j - 1);  // below 2^53
        }
        case 5: {  // a few steps below or above a power of ten: the decade carry
            const double power =
                std::strtod(("1e" + std::to_string(Between(-300, 300))).c_str(), nullptr);
            return sign * FromBits(BitsOf(power) + static_cast<uint64_t>(Between(-40, 8)));
        }
        case 6: {  // 1 to 15 digits at every scale around the plain/E boundaries
            const std::string text =
                Digits(Between(1, 15)) + "e" + std::to_string(Between(-32, 18));
            return sign * std::strtod(text.c_str(), nullptr);
        }
        case 7:
            return sign * FromBits(random() >> 12);  // subnormal
        default:
            return sign * FromBits(0x7FEFFFFFFFFFFFFF - random() % 1000);  // largest
    }
}

std::string TextToRead(long i) {
    std::string text = i % 2 ? "-" : "";
    switch (i / 2 % 6) {
        case 0: {  // decimal texts of every length, a quarter with an exponent
            for (int k = 0, n = Between(1, 22), point = Between(0, 22); k < n; ++k) {
                if (k == point) text += '.';
                text += static_cast<char>('0' + Between(0, 9));
            }
            if (i % 8 < 2) text.append("e").append(std::to_string(Between(-30, 30)));
            return text;
        }
        case 1:
            return NumberText(Uniform(1, 10) * std::pow(10.0, Between(-8, 17)));
        case 2:
            return NumberText(std::round(Uniform(-500, 500) * 10000) / 10000);
        case 3:
            return text + "." + Digits(Between(1, 20)) + "e-" + std::to_string(Between(300, 330));
        case 4:
            return text + "1.79769313486231" + Digits(Between(1, 6)) + "e308";  // the largest
        default: {  // exactly halfway between two neighbouring doubles: (2m + 1) * 2^(e - 1)
            const Uint128 odd = 2 * ((uint64_t{1} << 52) | (random() >> 12)) + 1;
            const int e = Between(-20, 10);
            if (e >= 1) return text + Decimal(odd << (e - 1));
            Uint128 scaled = odd;  // (2m + 1) * 5^(1 - e), the point 1 - e places from the end
            for (int k = 0; k < 1 - e; ++k) scaled *= 5;
            const std::string digits = Decimal(scaled);
            const size_t point = digits.size() - static_cast<size_t>(1 - e);
            return text + digits.substr(0, point) + "." + digits.substr(point);
        }
    }
}

void CheckText(double value) {
    if (NumberText(value) == ReferenceNumberText(value)) return;
    if (++differences <= 10)
        std::printf("NumberText(%.17g) = \"%s\", printf gives \"%s\"\n", value,
                    NumberText(value).c_str(), ReferenceNumberText(value).c_str());
}

// Equal to strtod's nearest double; refused where strtod overflows.
void CheckParse(const std::string& text) {
    const double expected = std::strtod(text.c_str(), nullptr);
    const std::optional<double> value = TryParseNumber(text);
    if (value ? std::memcmp(&*value, &expected, sizeof expected) == 0 : std::isinf(expected))
        return;
    if (++differences <= 10)
        std::printf("ParseNumber(\"%s\") = %.17g, strtod gives %.17g\n", text.c_str(),
                    value.value_or(NAN), expected);
}

}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    CheckText(0.0);
    CheckText(-0.0);
    for (long i = 0; i < count; ++i) {
        CheckText(ValueToWrite(i));
        CheckParse(TextToRead(i));
    }
    std::printf("number_check: %ld written and %ld read values, %ld differ from printf/strtod\n",
                count + 2, count, differences);
    return differences == 0 ? 0 : 1;
}
