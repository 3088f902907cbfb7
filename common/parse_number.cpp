#include "parse_number.hpp"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
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

// w * 10^q to the nearest double where that is quick to find exactly: Clinger's fast path (w
// and 10^q are both exact doubles, one correctly rounded operation joins them), then
// Eisel-Lemire. False for a result that is zero, subnormal, beyond the double range or left
// undecided by 128 bits: the general conversion decides those.
bool NearestDouble(uint64_t w, long long q, bool negative, double& value) {
    if (w <= (uint64_t{1} << 53) && q >= -22 && q <= 22) {
        value = static_cast<double>(w);
        value = q < 0 ? value / kExactPow10[-q] : value * kExactPow10[q];
        if (negative) value = -value;
        return true;
    }
    using Format = fast_float::binary_format<double>;
    const fast_float::adjusted_mantissa am = fast_float::compute_float<Format>(q, w);
    if (am.power2 <= 0 || am.power2 >= Format::infinite_power()) return false;
    fast_float::to_float(negative, am, value);
    return true;
}

// Digits with at most one point: their value while there are at most 19, how many there are
// and how many stand behind the point.
struct Body {
    uint64_t W = 0;
    int Digits = 0, FractionDigits = 0;
};

// The usual short body, digits with at most one "." that end within eight bytes, read with a
// few word operations: gives where it ends, or nullptr for any other (read byte by byte then).
// kRoom: nine bytes stand at `p`, so that `end` need not be looked at.
template <bool kRoom>
[[gnu::always_inline]] inline const char* TakeShortBody(const char* p, const char* end, Body& b) {
    if (!kRoom && end - p < 8) return nullptr;
    uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    // Per byte: the digit's value (digits give 0 to 9), and a top bit for every other byte.
    // A carry into the next byte comes only from a byte above 127, which ends the body.
    const uint64_t values = chunk ^ 0x3030303030303030;
    const uint64_t other = ((values + 0x7676767676767676) | values) & 0x8080808080808080;
    if (!other) return nullptr;  // eight digits: the body may go on
    // Bit positions: 8 * byte + 7 of the first byte that is no digit and of the next one.
    const int first = std::countr_zero(other);
    const uint64_t behindFirst = other & (other - 1);
    const int next = behindFirst ? std::countr_zero(behindFirst) : 71;
    const bool point = ((values >> (first - 7)) & 0xFF) == ('.' ^ '0');
    if (point && next == 71 && (kRoom || p + 8 != end) && IsDigit(p[8]))
        return nullptr;  // the fraction goes on
    const int stop = point ? next : first;
    const int digitBits = stop - 7 - 8 * point;  // 8 per digit
    if (digitBits == 0) return nullptr;
    // The digits' values, the point taken out, moved to the word's top: eight digits, the
    // first in the lowest byte (those before it 0), joined in pairs, then the four pairs
    // weighted 10^6, 10^4, 10^2 and 1 by two multiplications.
    const uint64_t before = (uint64_t{1} << (first - 7)) - 1;
    uint64_t kept = point ? (values & before) | ((values >> 8) & ~before) : values;
    kept <<= 64 - digitBits;
    kept = kept * 10 + (kept >> 8);  // pairs in bytes 0, 2, 4 and 6
    b.W = ((kept & 0x000000FF000000FF) * (100 + (uint64_t{1000000} << 32)) +
           ((kept >> 16) & 0x000000FF000000FF) * (1 + (uint64_t{10000} << 32))) >>
          32;
    b.Digits = digitBits >> 3;
    b.FractionDigits = point ? (next - first - 8) >> 3 : 0;
    return p + ((stop - 7) >> 3);
}

// Any other body, byte by byte: digits, at most one ".", digits.
const char* TakeBody(const char* p, const char* end, Body& b) {
    const char* const first = p;
    for (; p != end && IsDigit(*p); ++p) b.W = b.W * 10 + static_cast<unsigned>(*p - '0');
    b.Digits = static_cast<int>(std::min<std::ptrdiff_t>(p - first, 20));
    if (p == end || *p != '.') return p;
    const char* const fraction = ++p;
    for (; p != end && IsDigit(*p); ++p) b.W = b.W * 10 + static_cast<unsigned>(*p - '0');
    b.FractionDigits = static_cast<int>(std::min<std::ptrdiff_t>(p - fraction, 20));
    b.Digits += b.FractionDigits;
    return p;
}

// The exponent behind the "e": an optional sign and one to four digits, added to `q`. Nullptr
// for any other.
const char* TakeExponent(const char* p, const char* end, long long& q) {
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* const first = p;
    int exponent = 0;
    for (; p != end && IsDigit(*p) && p - first < 4; ++p) exponent = exponent * 10 + (*p - '0');
    if (p == first || (p != end && IsDigit(*p))) return nullptr;
    q += negative ? -exponent : exponent;
    return p;
}

bool IsExponentMark(const char* p, const char* end) {
    return p != end && (*p | 0x20) == 'e';  // "e" or "E"
}

// The number from its body on, byte by byte, for any form the short body does not cover.
[[gnu::noinline]] const char* ScanLong(const char* p, const char* end, bool negative,
                                       double& value) {
    Body b;
    p = TakeBody(p, end, b);
    if (b.Digits == 0 || b.Digits > 19) return nullptr;
    long long q = -b.FractionDigits;
    if (IsExponentMark(p, end) && !(p = TakeExponent(p + 1, end, q))) return nullptr;
    return NearestDouble(b.W, q, negative, value) ? p : nullptr;
}

// A short body's value: at most eight digits, so Clinger's fast path always serves it.
[[gnu::always_inline]] inline double ShortValue(const Body& b, bool negative) {
    const double magnitude = static_cast<double>(b.W) / kExactPow10[b.FractionDigits];
    return negative ? -magnitude : magnitude;
}

// Scan's reading of a number. kRoom: ten bytes stand at `p` (a sign, eight and the one behind
// them), so that no byte read is checked against the end.
template <bool kRoom>
[[gnu::always_inline]] inline const char* ScanWith(const char* p, const char* end, double& value) {
    const bool negative = (kRoom || p != end) && *p == '-';
    p += (kRoom || p != end) && (*p == '-' || *p == '+');
    Body b;
    const char* behind = TakeShortBody<kRoom>(p, end, b);
    if (!behind || (kRoom ? (*behind | 0x20) == 'e' : IsExponentMark(behind, end)))
        return ScanLong(p, end, negative, value);
    value = ShortValue(b, negative);
    return behind;
}

// A number near the end of the text, apart from the loops that read many numbers.
[[gnu::noinline]] const char* ScanShort(const char* p, const char* end, double& value) {
    return ScanWith<false>(p, end, value);
}

// ScanNumber for the hot loops: the end of the number, or nullptr. kApart: a number near the
// end of the text (fewer than ten bytes left) is read by a call.
template <bool kApart = true>
[[gnu::always_inline]] inline const char* Scan(const char* p, const char* end, double& value) {
    if (end - p < 10) return kApart ? ScanShort(p, end, value) : ScanWith<false>(p, end, value);
    return ScanWith<true>(p, end, value);
}

// What the grammar makes of a number text: where its body begins (behind the sign), how many
// digits stand before the point, and the exponent (held at 100000, beyond any double's).
struct NumberForm {
    bool Negative = false;
    size_t Body = 0;
    long long IntegerDigits = 0;
    long long Exponent = 0;
};

// The form of a number text; nothing for any other text.
std::optional<NumberForm> ReadForm(std::string_view t) {
    NumberForm form;
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) form.Negative = t[i++] == '-';
    form.Body = i;
    auto skipDigits = [&] {
        const size_t first = i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        return static_cast<long long>(i - first);
    };
    form.IntegerDigits = skipDigits();
    long long digits = form.IntegerDigits;
    if (i < t.size() && t[i] == '.') digits += (++i, skipDigits());
    if (digits == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        bool negative = false;
        if (++i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
        const size_t first = i;
        for (; i < t.size() && IsDigit(t[i]); ++i)
            if (form.Exponent < 100000) form.Exponent = form.Exponent * 10 + (t[i] - '0');
        if (i == first) return std::nullopt;
        if (negative) form.Exponent = -form.Exponent;
    }
    if (i != t.size()) return std::nullopt;
    return form;
}

std::optional<double> Refuse(FailureKind kind, FailureKind* why) {
    if (why) *why = kind;
    return std::nullopt;
}

// The general conversion, exact for every text of the grammar (any number of digits, results
// out of the double range): from_chars, which alone would also take "inf", "nan" and hex forms.
std::optional<double> ConvertForm(std::string_view t, const NumberForm& form, FailureKind* why) {
    const std::string_view body = t.substr(form.Body);
    double value = 0;
    const auto r =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Either beyond the double range (overflow) or so small that it is zero: the decimal
        // exponent of the first non-zero digit tells which.
        long long zeros = 0;
        for (char c : body)
            if (c >= '1' && c <= '9')
                break;
            else if (c == '0')
                ++zeros;
        if (form.Exponent + form.IntegerDigits - zeros > 0)
            return Refuse(FailureKind::Overflow, why);
        value = 0;
    } else if (r.ec != std::errc() || r.ptr != body.data() + body.size()) {
        return Refuse(FailureKind::TypeMismatch, why);
    }
    if (!std::isfinite(value)) return Refuse(FailureKind::Overflow, why);
    return form.Negative ? -value : value;
}

}  // namespace

std::optional<double> ScanNumber(const char*& at, const char* end) {
    double value;
    const char* behind = Scan<false>(at, end, value);
    if (!behind) return std::nullopt;
    at = behind;
    return value;
}

const char* ScanNumbers(const char* at, const char* end, double* values, int count) {
#pragma GCC unroll 3
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            if (at == end || *at != ' ') return nullptr;
            while (++at != end && *at == ' ') {
            }
        }
        if (!(at = Scan(at, end, values[k]))) return nullptr;
    }
    return at;
}

std::optional<double> TryParseNumber(std::string_view text, FailureKind* why) {
    const std::string_view t = Trim(text);
    const char* at = t.data();
    const char* const end = at + t.size();
    if (std::optional<double> value = ScanNumber(at, end); value && at == end) return value;
    const std::optional<NumberForm> form = ReadForm(t);
    if (!form) return Refuse(FailureKind::TypeMismatch, why);
    return ConvertForm(t, *form, why);
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
