// Number text both ways: ParseNumber agrees with the C library's conversion on every text it
// accepts and with the general reading it replaced on every text, ParseInteger never crashes,
// NumberText reads back as the value to 15 digits, and a point line's numbers read in one pass
// are those of its fields.
#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "fuzz_support.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "strings.hpp"

// The reading that the fast paths replaced, kept here to check them against.
namespace previous {
using scene::FailureKind;
using scene::Trim;
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
}  // namespace previous

// Three numbers read in one pass, as for a point line, are those of the fields between blanks.
static void CheckPointLine(std::string_view text) {
    using namespace scene;
    double values[3];
    const char* end = text.data() + text.size();
    const char* behind = ScanNumbers(text.data(), end, values, 3);
    if (!behind) return;
    std::string_view rest(text.data(), static_cast<size_t>(behind - text.data()));
    for (double value : values) {
        const size_t field = rest.find(' ');
        const std::optional<double> alone = TryParseNumber(rest.substr(0, field));
        FUZZ_CHECK(alone && std::memcmp(&*alone, &value, sizeof value) == 0);
        rest = Trim(rest.substr(std::min(field, rest.size())));
    }
    FUZZ_CHECK(rest.empty());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    const std::string_view text = AsText(data, size);
    FailureKind why = FailureKind::InvalidArgument, previousWhy = FailureKind::InvalidArgument;
    const std::optional<double> value = TryParseNumber(text, &why);
    const std::optional<double> before = previous::TryParseNumber(text, &previousWhy);
    FUZZ_CHECK(value.has_value() == before.has_value());
    FUZZ_CHECK(value ? std::memcmp(&*value, &*before, sizeof(double)) == 0 : why == previousWhy);
    CheckPointLine(text);
    try {
        const double parsed = ParseNumber(text);
        FUZZ_CHECK(value && parsed == *value);
    } catch (const Failure& failure) {
        FUZZ_CHECK(!value && failure.Kind() == why);
        FUZZ_CHECK(why == FailureKind::TypeMismatch || why == FailureKind::Overflow);
    }
    try {
        const int16_t whole = ParseInteger(text);
        FUZZ_CHECK(value && std::fabs(whole - *value) <= 0.5);
    } catch (const Failure&) {
    }
    if (!value) return 0;
    FUZZ_CHECK(std::isfinite(*value));

    // The accepted grammar is a subset of strtod's; both give the nearest double (a value
    // below the normal range may read as 0).
    const std::string accepted(Trim(text));
    const double reference = std::strtod(accepted.c_str(), nullptr);
    FUZZ_CHECK(*value == reference || (*value == 0 && std::fabs(reference) < DBL_MIN));

    // Written with 15 significant digits, read back within that rounding; the largest values
    // round up beyond the double range and cannot be read back.
    const double v = *value;
    if (std::fabs(v) >= 1.797693134862315e308) return 0;
    const std::optional<double> back = TryParseNumber(NumberText(v));
    FUZZ_CHECK(back);
    FUZZ_CHECK(std::fabs(*back - v) <=
               std::fabs(v) * 1e-14 + std::numeric_limits<double>::denorm_min());
    FUZZ_CHECK(TryParseNumber(PlainNumberText(v)) == back);
    return 0;
}
