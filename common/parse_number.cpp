#include "parse_number.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "strings.hpp"

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

std::optional<double> TryParseNumber(std::string_view text, FailureKind* why) {
    auto fail = [why](FailureKind kind) -> std::optional<double> {
        if (why) *why = kind;
        return std::nullopt;
    };
    std::string_view t = Trim(text);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    const size_t mantissaStart = i;

    // One pass validates the grammar (from_chars alone would also take "inf", "nan" and hex
    // forms) and gathers the digits for the exact shortcut below. More than 19 digits could
    // overflow the mantissa: such texts take the slow path, which does not use it.
    uint64_t mantissa = 0;
    const size_t integerStart = i;
    for (; i < t.size() && IsDigit(t[i]); ++i)
        mantissa = mantissa * 10 + static_cast<uint64_t>(t[i] - '0');
    int digits = static_cast<int>(i - integerStart);
    int fractionDigits = 0;
    if (i < t.size() && t[i] == '.') {
        const size_t fractionStart = ++i;
        for (; i < t.size() && IsDigit(t[i]); ++i)
            mantissa = mantissa * 10 + static_cast<uint64_t>(t[i] - '0');
        fractionDigits = static_cast<int>(i - fractionStart);
        digits += fractionDigits;
    }
    if (digits == 0) return fail(FailureKind::TypeMismatch);
    long exponent = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) expNegative = t[i++] == '-';
        size_t expStart = i;
        for (; i < t.size() && IsDigit(t[i]); ++i)
            if (exponent < 100000) exponent = exponent * 10 + (t[i] - '0');
        if (i == expStart) return fail(FailureKind::TypeMismatch);
        if (expNegative) exponent = -exponent;
    }
    if (i != t.size()) return fail(FailureKind::TypeMismatch);

    // Exact shortcut: a mantissa below 2^53 and a power of ten up to 1E22 are both exact
    // doubles, so one correctly rounded multiplication or division gives the nearest double.
    const long scale = exponent - fractionDigits;
    if (digits <= 19 && mantissa <= (uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
        static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        double value = static_cast<double>(mantissa);
        value = scale < 0 ? value / kPow10[-scale] : value * kPow10[scale];
        return negative ? -value : value;
    }

    double value = 0;
    std::string_view body = t.substr(mantissaStart);
    auto r =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Either beyond the double range (overflow) or so small that it is zero: the decimal
        // exponent of the first non-zero digit tells which.
        const int integerDigits = digits - fractionDigits;
        int firstNonZero = 0;
        for (char c : body)
            if (c >= '1' && c <= '9')
                break;
            else if (c == '0')
                ++firstNonZero;
        if (exponent + integerDigits - firstNonZero > 0) return fail(FailureKind::Overflow);
        value = 0;
    } else if (r.ec != std::errc() || r.ptr != body.data() + body.size()) {
        return fail(FailureKind::TypeMismatch);
    }
    if (!std::isfinite(value)) return fail(FailureKind::Overflow);
    return negative ? -value : value;
}

double ParseNumber(std::string_view text) {
    FailureKind why = FailureKind::TypeMismatch;
    std::optional<double> value = TryParseNumber(text, &why);
    if (!value) throw Failure(why);
    return *value;
}

int16_t ParseInteger(std::string_view text) {
    double rounded = std::nearbyint(ParseNumber(text));  // the default mode rounds half to even
    if (rounded < -32768 || rounded > 32767) throw Failure(FailureKind::Overflow);
    return static_cast<int16_t>(rounded);
}
