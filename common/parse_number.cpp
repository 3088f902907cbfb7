#include "parse_number.hpp"

#include <charconv>
#include <cmath>

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

    // Validate the grammar first: from_chars alone would also take "inf", "nan" and hex forms.
    int digits = 0;
    int firstNonZero = -1;  // decimal exponent estimate for the range check below
    int pointSeen = 0;
    int integerDigits = 0;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (IsDigit(c)) {
            if (firstNonZero < 0 && c != '0') firstNonZero = digits;
            ++digits;
            if (!pointSeen) ++integerDigits;
        } else if (c == '.' && !pointSeen) {
            pointSeen = 1;
        } else {
            break;
        }
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

    double value = 0;
    std::string_view body = t.substr(mantissaStart);
    auto r =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Either beyond the double range (overflow) or so small that it is zero.
        long magnitude = exponent + integerDigits - firstNonZero;
        if (firstNonZero >= 0 && magnitude > 0) return fail(FailureKind::Overflow);
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
