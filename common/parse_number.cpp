#include "parse_number.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "strings.hpp"

namespace scene {

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Exact shortcut: a mantissa below 2^53 and a power of ten up to 1E22 are both exact doubles,
// so one correctly rounded multiplication or division gives the nearest double. More than 19
// digits could have overflowed the mantissa.
std::optional<double> ExactValue(uint64_t mantissa, int digits, long long scale, bool negative) {
    if (digits > 19 || mantissa > (uint64_t{1} << 53) || scale < -22 || scale > 22)
        return std::nullopt;
    double value = static_cast<double>(mantissa);
    value = scale < 0 ? value / kExactPow10[-scale] : value * kExactPow10[scale];
    return negative ? -value : value;
}
}  // namespace

namespace {

// Takes the digits that begin at `p` into the mantissa.
[[gnu::always_inline]] inline const char* TakeDigits(const char* p, const char* end,
                                                     uint64_t& mantissa) {
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) break;
        mantissa = mantissa * 10 + digit;
    }
    return p;
}

// The usual short form, digits with at most one "." in eight bytes and no more digits behind
// them, read with a few word operations: gives where the number's digits end, or nullptr for
// any other form (the caller then reads it byte by byte).
const char* TakeShortDigits(const char* p, const char* end, uint64_t& mantissa, long long& digits,
                            long long& fractionDigits) {
    if (end - p < 8) return nullptr;
    uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    // Per byte: the digit's value (digits give 0 to 9), and a top bit for every other byte.
    // No carry crosses from a digit or the point into the next byte.
    const uint64_t values = chunk ^ 0x3030303030303030;
    const uint64_t other = ((values + 0x7676767676767676) | values) & 0x8080808080808080;
    const int point = other ? std::countr_zero(other) / 8 : 8;
    int stop = point;
    uint64_t kept = values;  // the digits' values, the point taken out
    if (point < 8 && p[point] == '.') {
        if (point == 7) return nullptr;  // the fraction lies beyond these eight bytes
        const uint64_t behind = other & (~uint64_t{0} << (8 * point + 8));
        stop = behind ? std::countr_zero(behind) / 8 : 8;
        const uint64_t before = (uint64_t{1} << (8 * point)) - 1;
        kept = (values & before) | ((values >> 8) & ~before);
        fractionDigits = stop - point - 1;
    } else {
        fractionDigits = 0;
    }
    // Digits up to the word's end: the byte behind it must end the number.
    if (stop == 8 && p + 8 != end && (IsDigit(p[8]) || (point == 8 && p[8] == '.'))) return nullptr;
    digits = stop - (stop != point);
    if (digits > 0) {
        // Eight digits in one word, the first in the lowest byte (those before it 0): pairs,
        // groups of four, then all eight are joined with multiplications.
        kept <<= 8 * (8 - digits);
        kept = (kept * 10 + (kept >> 8)) & 0x00FF00FF00FF00FF;
        kept = (kept * 100 + (kept >> 16)) & 0x0000FFFF0000FFFF;
        mantissa = (kept * 10000 + (kept >> 32)) & 0xFFFFFFFF;
    }
    return p + stop;
}

}  // namespace

std::optional<double> ScanNumber(const char*& at, const char* end) {
    const char* p = at;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    uint64_t mantissa = 0;
    long long digits = 0, fractionDigits = 0;
    if (const char* behind = TakeShortDigits(p, end, mantissa, digits, fractionDigits)) {
        p = behind;
    } else {
        const char* digitsStart = p;
        p = TakeDigits(p, end, mantissa);
        digits = p - digitsStart;
        if (p != end && *p == '.') {
            const char* fractionStart = ++p;
            p = TakeDigits(p, end, mantissa);
            fractionDigits = p - fractionStart;
            digits += fractionDigits;
        }
    }
    if (digits == 0) return std::nullopt;
    long long exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool expNegative = false;
        if (p != end && (*p == '+' || *p == '-')) expNegative = *p++ == '-';
        const char* expStart = p;
        for (; p != end && IsDigit(*p) && p - expStart < 4; ++p)
            exponent = exponent * 10 + (*p - '0');
        if (p == expStart || (p != end && IsDigit(*p))) return std::nullopt;
        if (expNegative) exponent = -exponent;
    }
    at = p;
    return ExactValue(mantissa, static_cast<int>(std::min(digits, 20LL)), exponent - fractionDigits,
                      negative);
}

std::optional<double> TryParseNumber(std::string_view text, FailureKind* why) {
    auto fail = [why](FailureKind kind) -> std::optional<double> {
        if (why) *why = kind;
        return std::nullopt;
    };
    std::string_view t = Trim(text);
    const char* at = t.data();
    if (std::optional<double> value = ScanNumber(at, t.data() + t.size());
        value && at == t.data() + t.size())
        return value;

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
    long long exponent = 0;
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

    if (std::optional<double> value =
            ExactValue(mantissa, digits, exponent - fractionDigits, negative))
        return value;

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

}  // namespace scene
