#include "number_text.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "failure.hpp"

namespace scene {

// GCC's 128-bit integers, for exact products of two 64-bit words.
__extension__ typedef unsigned __int128 Uint128;

namespace {

// The significant digits d1..dn (trailing zeros dropped, "0" behind them) and the decimal
// exponent E of d1.
struct Digits {
    char Digits[32];  // room to copy 16 bytes from any digit's position
    int Count;
    int Exponent;
};

// Splits "d.ddde+XX" as to_chars writes it in scientific form.
void SplitScientific(const char* begin, const char* end, Digits& d) {
    std::memset(d.Digits, '0', sizeof d.Digits);
    d.Count = 0;
    const char* p = begin;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.') d.Digits[d.Count++] = *p;
    ++p;  // 'e'
    bool negative = *p == '-';
    ++p;
    int exponent = 0;
    for (; p != end; ++p) exponent = exponent * 10 + (*p - '0');
    d.Exponent = negative ? -exponent : exponent;
    while (d.Count > 1 && d.Digits[d.Count - 1] == '0') --d.Count;
}

constexpr uint64_t kPow10[20] = {1ull,
                                 10ull,
                                 100ull,
                                 1000ull,
                                 10000ull,
                                 100000ull,
                                 1000000ull,
                                 10000000ull,
                                 100000000ull,
                                 1000000000ull,
                                 10000000000ull,
                                 100000000000ull,
                                 1000000000000ull,
                                 10000000000000ull,
                                 100000000000000ull,
                                 1000000000000000ull,
                                 10000000000000000ull,
                                 100000000000000000ull,
                                 1000000000000000000ull,
                                 10000000000000000000ull};

// The eight ASCII digits of x < 10^8 in one 64-bit word, first digit in the lowest byte: the
// halves, quarters and digits are split in parallel lanes with multiplications by
// reciprocals that are exact for the lane values (v / 100 = v * 10486 >> 20 below 10^4,
// v / 10 = v * 103 >> 10 below 100).
uint64_t EightDigits(uint32_t x) {
    const uint64_t merged = (x / 10000) | (static_cast<uint64_t>(x % 10000) << 32);
    const uint64_t top = ((merged * 10486) >> 20) & ((uint64_t{0x7F} << 32) | 0x7F);
    const uint64_t hundreds = ((merged - 100 * top) << 16) + top;
    uint64_t tens = ((hundreds * 103) >> 10) & 0x000F000F000F000F;
    tens += (hundreds - 10 * tens) << 8;
    return tens | 0x3030303030303030;
}

// The 15 decimal digits of 10^14 <= q < 10^15 and "0" behind them, 32 bytes in all; gives how
// many remain when trailing zeros are dropped.
int WriteFifteenDigits(uint64_t q, char* out) {
    static_assert(std::endian::native == std::endian::little, "digits are stored byte-wise");
    const uint64_t high = EightDigits(static_cast<uint32_t>(q / 100000000));  // "0" + 7 digits
    const uint64_t low = EightDigits(static_cast<uint32_t>(q % 100000000));
    const uint64_t shifted = (high >> 8) | (low << 56);  // digits 1 to 8
    std::memcpy(out, &shifted, 8);
    const uint64_t rest = (low >> 8) | (uint64_t{'0'} << 56);  // digits 9 to 15, "0"
    std::memcpy(out + 8, &rest, 8);
    std::memset(out + 16, '0', 16);
    // Trailing zeros: the last digit is in the highest byte, so they are leading zero bytes
    // of the digit values (q's first digit is never zero).
    const uint64_t lowValues = low - 0x3030303030303030;
    if (lowValues != 0) return 15 - std::countl_zero(lowValues) / 8;
    return 7 - std::countl_zero(high - 0x3030303030303030) / 8;
}

// The common case, 1E-5 <= magnitude < 1E15, in exact integer arithmetic: the magnitude is
// m * 2^e2, so m * 10^(14-E) / 2^-e2 is the value scaled to 15 integer digits, and its
// remainder decides the rounding (a tie goes to the even neighbour). False outside that range.
bool FastFifteenDigits(double magnitude, Digits& d) {
    if (!(magnitude >= 1e-5 && magnitude < 1e15)) return false;
    uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int shift = 1075 - biased;  // 3..69 in this range
    // floor(log10(2) * binary exponent) is E or one less; one comparison with the next power
    // of ten settles it (the powers below 1 are not exact, the loop below mends a miss).
    static constexpr double kDecades[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2,
                                          1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9, 1e10,
                                          1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
    int e = ((biased - 1023) * 78913) >> 18;
    if (e >= -6 && e <= 15 && magnitude >= kDecades[e + 6]) ++e;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 14 - e;
        if (k < 0 || k > 19) return false;
        const Uint128 scaled = static_cast<Uint128>(m) * kPow10[k];
        // The scaled value's integer part and, in the lowest bit, its halves digit.
        const uint64_t halves = static_cast<uint64_t>(scaled >> (shift - 1));
        uint64_t q = halves >> 1;
        if (q >= kPow10[15]) {
            ++e;
            continue;
        }
        if (q < kPow10[14]) {
            --e;
            continue;
        }
        // At least a half: up when more than a half, or a tie and q odd (to the even one).
        const bool aboveHalf = (scaled << (129 - shift)) != 0;
        q += halves & (aboveHalf | q) & 1;
        if (q == kPow10[15]) {  // rounded up into the next decade
            q = kPow10[14];
            ++e;
        }
        d.Count = WriteFifteenDigits(q, d.Digits);
        d.Exponent = e;
        return true;
    }
    return false;
}

// Rounds the magnitude to 15 significant digits.
Digits FifteenDigits(double magnitude) {
    Digits d;
    if (FastFifteenDigits(magnitude, d)) return d;
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    SplitScientific(buf, r.ptr, d);
    return d;
}

// Writes the text into `out` (kNumberTextMax bytes) and returns its length.
size_t FormatDigits(char* out, double value, bool plain) {
    if (!std::isfinite(value)) throw Failure(FailureKind::Overflow);
    char* p = out;
    double magnitude = std::fabs(value);
    if (magnitude == 0) {  // also a negative zero
        if (!plain) *p++ = ' ';
        *p++ = '0';
        return static_cast<size_t>(p - out);
    }
    if (value < 0)
        *p++ = '-';
    else if (!plain)
        *p++ = ' ';

    if (magnitude < 1e15) {  // whole numbers (counters, "20", "-3") are their plain digits
        const auto whole = static_cast<uint64_t>(magnitude);
        if (static_cast<double>(whole) == magnitude)
            return static_cast<size_t>(std::to_chars(p, p + 16, whole).ptr - out);
    }
    Digits d = FifteenDigits(magnitude);
    const int n = d.Count;
    const int e = d.Exponent;
    // Copies of a fixed 16 bytes (a few instructions, no call), some of them past the end of
    // what is kept: `out` has room for that (kNumberTextMax).
    static constexpr char kZeros[16] = {'0', '0', '0', '0', '0', '0', '0', '0',
                                        '0', '0', '0', '0', '0', '0', '0', '0'};
    if (e >= 0 && e <= 14) {
        std::memcpy(p, d.Digits, 16);  // the zeros behind the digits are there too
        if (n <= e + 1) {
            p += e + 1;
        } else {
            p[e + 1] = '.';
            std::memcpy(p + e + 2, d.Digits + e + 1, 16);
            p += n + 1;
        }
    } else if (e < 0 && n - e <= 16) {
        if (plain) *p++ = '0';
        *p++ = '.';
        std::memcpy(p, kZeros, 16);
        std::memcpy(p - e - 1, d.Digits, 16);
        p += n - e - 1;
    } else {
        *p++ = d.Digits[0];
        if (n > 1) {
            *p++ = '.';
            std::memcpy(p, d.Digits + 1, 16);
            p += n - 1;
        }
        *p++ = 'E';
        *p++ = e < 0 ? '-' : '+';
        int a = e < 0 ? -e : e;
        if (a < 10) *p++ = '0';
        p = std::to_chars(p, p + 4, a).ptr;
    }
    return static_cast<size_t>(p - out);
}

}  // namespace

char* WriteNumberText(char* out, double value) {
    return out + FormatDigits(out, value, false);
}

void AppendNumberText(std::string& out, double value) {
    char buf[40];
    out.append(buf, FormatDigits(buf, value, false));
}

std::string NumberText(double value) {
    char buf[40];
    return std::string(buf, FormatDigits(buf, value, false));
}

std::string PlainNumberText(double value) {
    char buf[40];
    return std::string(buf, FormatDigits(buf, value, true));
}

}  // namespace scene
