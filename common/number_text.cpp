#include "number_text.hpp"

#include <emmintrin.h>
#include <fast_float/fast_float.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "failure.hpp"

namespace scene {

// GCC's 128-bit integers: exact products of two 64-bit words, and 16 bytes of text in one word.
__extension__ typedef unsigned __int128 Uint128;

namespace {

static_assert(std::endian::native == std::endian::little,
              "the digits stand in vector lanes, the first in the lowest byte");

constexpr uint64_t kTen14 = 100000000000000;  // the smallest number of 15 digits
constexpr uint64_t kTen15 = 10 * kTen14;
constexpr uint64_t kHalf = uint64_t{1} << 63;  // one half as a 64-bit fraction

// A magnitude rounded to 15 significant digits: Digits * 10^(Exponent - 14).
struct Decimal {
    uint64_t Digits;  // 10^14 <= Digits < 10^15
    int Exponent;     // the decimal exponent of the first digit
};

uint64_t BitsOf(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The magnitude m * 2^e2 scaled by 10^(14 - k): the product's upper 128 bits, its lowest 64,
// and where the whole part begins in the upper word.
struct Scaled {
    uint64_t High, Middle, Low;
    int At;

    uint64_t Whole() const { return High >> At; }
    uint64_t Fraction() const { return (High << (64 - At)) | (Middle >> At); }  // its top 64 bits
    bool More() const { return ((Middle << (64 - At)) | Low) != 0; }  // bits behind Fraction()
};

// 10^s = 5^s * 2^s, and 5^s is fast_float's cached 128-bit C * 2^(floor(s * log2 5) - 127),
// rounded toward one: exact for 0 <= s <= 55 (5^55 < 2^128), off by less than one unit of C
// elsewhere. m * C, 192 bits, is then off by less than 2^64 of its units, which is below 2^-72
// of the scaled value's units (its whole part has at most 54 of the product's top 119 bits).
// Here s = 14 - k, and `at` is where the whole part begins (9 to 20).
[[gnu::always_inline]] inline Scaled ScaleByPower(uint64_t m, int s, int at) {
    using Powers = fast_float::powers;
    const uint64_t* c = Powers::power_of_five_128 + 2 * (s - Powers::smallest_power_of_five);
    const Uint128 high = static_cast<Uint128>(m) * c[0], low = static_cast<Uint128>(m) * c[1];
    const auto carried = static_cast<uint64_t>(low >> 64);
    const uint64_t middle = static_cast<uint64_t>(high) + carried;
    return {static_cast<uint64_t>(high >> 64) + (middle < carried), middle,
            static_cast<uint64_t>(low), at};
}
// Where the whole part of m * 2^e2 * 10^s begins in the product's upper word:
// -1 - e2 - floor(s log2 10).
constexpr int WholeAt(int e2, int s) {
    return -1 - e2 - ((s * 217706) >> 16);
}
// The magnitude m * 2^e2 scaled by 10^(14 - k).
[[gnu::always_inline]] inline Scaled Scale(uint64_t m, int e2, int k) {
    return ScaleByPower(m, 14 - k, WholeAt(e2, 14 - k));
}

// The rounding of a scaled value whose fraction is within 2^-64 of one half: decided only
// when the power of ten was exact, a tie then going to the even neighbour.
[[gnu::cold, gnu::noinline]] bool RoundNearHalf(uint64_t m, int e2, int k, uint64_t& q) {
    const Scaled x = Scale(m, e2, k);
    if (14 - k < 0 || 14 - k > 55) return false;
    q = x.Whole() + (x.Fraction() == kHalf && (x.More() || (x.Whole() & 1)));
    return true;
}

// The magnitude (finite, above zero) rounded to 15 significant digits, ties to even, with one
// product by a cached power of ten. When the power is not exact, the true fraction lies within
// 2^-72 of the computed one: only a computed fraction within 2^-64 of one half can leave the
// rounding undecided. False then, and below 2^-959 (subnormals too; the cache ends at 1E-294).
[[gnu::always_inline]] inline bool RoundToFifteenDigits(uint64_t bits, Decimal& d) {
    const int biased = static_cast<int>(bits >> 52);
    if (biased < 64) return false;
    const uint64_t m = (bits << 11) | (uint64_t{1} << 63);  // 2^63 <= m < 2^64
    const int e2 = biased - 1086;
    int k = ((biased - 1023) * 315653) >> 20;  // floor(log10 2^(e2 + 63)): the exponent or one less
    Scaled x = Scale(m, e2, k);
    while (x.Whole() >= kTen15) x = Scale(m, e2, ++k);  // once at the most
    // The computed value is at least 10^14 - 2^-72, so it rounds to 10^14 at the least.
    const uint64_t fraction = x.Fraction();
    uint64_t q = x.Whole() + (fraction > kHalf);
    if (fraction - (kHalf - 1) <= 1 && !RoundNearHalf(m, e2, k, q)) return false;
    if (q >= kTen15) {                 // rounded up into the next decade
        if (q > kTen15) return false;  // off its decade: never seen, but checked
        q = kTen14;
        ++k;
    }
    d = {q, k};
    return true;
}

// The same digits from the standard library's exact conversion, "d.dddddddddddddde+XX".
[[gnu::cold]] Decimal ExactFifteenDigits(double magnitude) {
    char text[32];
    const char* end =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 14).ptr;
    Decimal d{0, 0};
    for (const char* p = text; p != text + 16; ++p)
        if (*p != '.') d.Digits = d.Digits * 10 + static_cast<uint64_t>(*p - '0');
    std::from_chars(text + 18, end, d.Exponent);
    if (text[17] == '-') d.Exponent = -d.Exponent;
    return d;
}

// The digit split's constant vectors. The instructions that take them read them from memory;
// the compiler would otherwise build each from a scalar every time, three instructions each.
struct alignas(16) DigitConstants {
    uint16_t Hundredth[8], Hundred[8], Tenth[8], Ten[8];
    unsigned char Zeros[16];
};
constexpr DigitConstants kDigitConstants = {
    {5243, 5243, 5243, 5243, 5243, 5243, 5243, 5243},
    {100, 100, 100, 100, 100, 100, 100, 100},
    {6554, 6554, 6554, 6554, 6554, 6554, 6554, 6554},
    {10, 10, 10, 10, 10, 10, 10, 10},
    {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'}};

// Where the constants stand, hidden from the compiler so that it reads them there.
[[gnu::always_inline]] inline const DigitConstants& DigitConstantsAt() {
    const DigitConstants* at = &kDigitConstants;
    asm("" : "+r"(at));
    return *at;
}

template <typename T>
__m128i Load(const T (&values)[16 / sizeof(T)]) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(values));
}

// The 15 digits of q as text in bytes 1 to 15 of a vector, byte 0 being "0". Its two halves
// of eight digits are split in parallel lanes into fours, pairs and digits, each quotient by a
// product with a reciprocal that is exact for the lane's values (v / 10^4 = v * 3518437209 >> 45
// below 10^8, v / 100 = v * 5243 >> 19 below 10^4, v / 10 = v * 6554 >> 16 below 100).
[[gnu::always_inline]] inline __m128i DigitText(uint64_t q, const DigitConstants& k) {
    const auto high = static_cast<long long>(q / 100000000),
               low = static_cast<long long>(q % 100000000);
    const __m128i eights = _mm_set_epi64x(low, high);
    const __m128i fours = _mm_srli_epi64(_mm_mul_epu32(eights, _mm_set1_epi64x(3518437209)), 45);
    const __m128i quads = _mm_or_si128(
        fours,
        _mm_slli_epi64(_mm_sub_epi64(eights, _mm_mul_epu32(fours, _mm_set1_epi64x(10000))), 32));
    const __m128i hundreds = _mm_srli_epi16(_mm_mulhi_epu16(quads, Load(k.Hundredth)), 3);
    const __m128i pairs = _mm_or_si128(
        hundreds,
        _mm_slli_epi32(_mm_sub_epi16(quads, _mm_mullo_epi16(hundreds, Load(k.Hundred))), 16));
    const __m128i tens = _mm_mulhi_epu16(pairs, Load(k.Tenth));
    const __m128i digits = _mm_or_si128(
        tens, _mm_slli_epi16(_mm_sub_epi16(pairs, _mm_mullo_epi16(tens, Load(k.Ten))), 8));
    return _mm_add_epi8(digits, Load(k.Zeros));
}

// How many of the 15 digits remain when trailing zeros are dropped (the first is never 0).
[[gnu::always_inline]] inline int SignificantDigits(__m128i text, const DigitConstants& k) {
    const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(text, Load(k.Zeros)));
    return 31 - std::countl_zero(static_cast<uint32_t>(~zeros & 0xFFFF));
}

// Byte masks for a point behind the first `whole` digits, read at offset 16 - whole: the bytes
// before the point, the point itself, and the bytes behind it.
struct PointLayout {
    unsigned char Front[32], Point[32], Back[32];
};
constexpr PointLayout MakePointLayout() {
    PointLayout t{};
    for (int i = 0; i < 32; ++i) {
        t.Front[i] = i < 16 ? 0xFF : 0;
        t.Point[i] = i == 16 ? '.' : 0;
        t.Back[i] = i > 16 ? 0xFF : 0;
    }
    return t;
}
constexpr PointLayout kPointLayout = MakePointLayout();

__m128i LoadAt(const unsigned char* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// The digits with the point behind the first `whole` of them (1 to 15), "123.45", in one
// 16-byte store; no point when no digit other than 0 stands behind it.
[[gnu::always_inline]] inline char* WriteFixed(char* p, __m128i text, int whole,
                                               const DigitConstants& k) {
    const int at = 16 - whole;
    const __m128i front = _mm_and_si128(_mm_srli_si128(text, 1), LoadAt(kPointLayout.Front + at));
    const __m128i back = _mm_and_si128(text, LoadAt(kPointLayout.Back + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                     _mm_or_si128(_mm_or_si128(front, back), LoadAt(kPointLayout.Point + at)));
    const int count = SignificantDigits(text, k);
    return p + (count > whole ? count + 1 : whole);
}

// "E", the exponent's sign and two or three digits.
char* WriteExponent(char* p, int e) {
    *p++ = 'E';
    *p++ = e < 0 ? '-' : '+';
    int a = e < 0 ? -e : e;
    if (a >= 100) {
        *p++ = static_cast<char>('0' + a / 100);
        a %= 100;
    }
    *p++ = static_cast<char>('0' + a / 10);
    *p++ = static_cast<char>('0' + a % 10);
    return p;
}

// Every text but the plain ones from 1 up to 1E15: zero, and for a value not finite the
// overflow failure; plain below 1 with at most 16 places, ".000ddd"; otherwise "d.dddE+XX".
// Values that the product with a cached power leaves undecided come here too.
[[gnu::cold, gnu::noinline]] char* WriteUnusual(char* p, double value) {
    if (value == 0) {  // also a negative zero, which has its blank
        *p = '0';
        return p + 1;
    }
    if (!std::isfinite(value)) throw Failure(FailureKind::Overflow);
    Decimal d;
    if (!RoundToFifteenDigits(BitsOf(std::fabs(value)), d))
        d = ExactFifteenDigits(std::fabs(value));
    const DigitConstants& k = DigitConstantsAt();
    const __m128i text = DigitText(d.Digits, k);
    if (d.Exponent >= 0 && d.Exponent <= 14) return WriteFixed(p, text, d.Exponent + 1, k);
    const int count = SignificantDigits(text, k);
    if (d.Exponent > 0 || count - d.Exponent > 16)
        return WriteExponent(WriteFixed(p, text, 1, k), d.Exponent);
    *p++ = '.';
    std::memset(p, '0', 16);
    p += -d.Exponent - 1;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_srli_si128(text, 1));
    return p + count;
}

// The decades of the magnitudes from 2^e up to 2^(e + 1), for e from 0 to 48: floor(e log10 2)
// is their decimal exponent k or one less, and the bits of 10^(k + 1), which order as the
// values do, tell which. For both, where Scale's whole part begins, the biased exponent added.
struct Decade {
    uint64_t TenBits;
    int Exponent;
    short AtLower, AtHigher;
};
constexpr auto kDecades = [] {
    std::array<Decade, 49> decades{};
    for (int e = 0; e < 49; ++e) {
        Decade& d = decades[static_cast<size_t>(e)];
        d.Exponent = (e * 315653) >> 20;
        double ten = 10;
        for (int j = 0; j < d.Exponent; ++j) ten *= 10;
        d.TenBits = std::bit_cast<uint64_t>(ten);
        const int s = 14 - d.Exponent;  // e2 = biased - 1086
        d.AtLower = static_cast<short>(WholeAt(-1086, s));
        d.AtHigher = static_cast<short>(WholeAt(-1086, s - 1));
    }
    return decades;
}();

// A magnitude from 1 up to 2^49 (below 10^15) rounded to 15 significant digits, as
// RoundToFifteenDigits rounds it, its decade looked up.
[[gnu::always_inline]] inline Decimal RoundPlain(uint64_t bits) {
    const uint64_t biased = bits >> 52;
    const Decade& decade = kDecades[biased - 1023];
    const bool higher = bits >= decade.TenBits;
    const int k = decade.Exponent + higher;
    const uint64_t m = (bits << 11) | (uint64_t{1} << 63);
    const int at = (higher ? decade.AtHigher : decade.AtLower) - static_cast<int>(biased);
    const Scaled x = ScaleByPower(m, 14 - k, at);
    // The power is exact, and so is the product: a fraction of one half is a tie only when no
    // bit behind it is set, and then goes to the even neighbour.
    const uint64_t fraction = x.Fraction();
    uint64_t q = x.Whole() + (fraction > kHalf);
    if (fraction == kHalf) [[unlikely]]
        q += x.More() | (q & 1);
    if (q == kTen15) return {kTen14, k + 1};  // rounded up into the next decade
    return {q, k};
}

// The text behind the sign position: the usual plain numbers here, the rest aside.
[[gnu::always_inline]] inline char* WriteMagnitude(char* out, double value,
                                                   const DigitConstants& k) {
    const uint64_t bits = BitsOf(std::fabs(value));
    // From 1 up to 2^49: 15 digits with the point behind the first 1 to 15.
    if (bits - (uint64_t{1023} << 52) >= (uint64_t{49} << 52)) return WriteUnusual(out, value);
    const Decimal d = RoundPlain(bits);
    return WriteFixed(out, DigitText(d.Digits, k), d.Exponent + 1, k);
}

// WriteNumberText for the hot loops.
[[gnu::always_inline]] inline char* Write(char* out, double value) {
    *out++ = value < 0 ? '-' : ' ';  // not for a negative zero
    return WriteMagnitude(out, value, DigitConstantsAt());
}

}  // namespace

char* WriteNumberText(char* out, double value) {
    return Write(out, value);
}

char* WriteNumberTexts(char* out, const double* values, int count) {
    const DigitConstants& constants = DigitConstantsAt();
#pragma GCC unroll 3
    for (int k = 0; k < count; ++k) {
        // The blank and the sign position in one store (not "-" for a negative zero).
        const uint16_t blankAndSign = values[k] < 0 ? ' ' | '-' << 8 : ' ' | ' ' << 8;
        std::memcpy(out, &blankAndSign, 2);
        out = WriteMagnitude(out + 2, values[k], constants);
    }
    return out;
}

void AppendNumberText(std::string& out, double value) {
    char text[kNumberTextMax];
    out.append(text, WriteNumberText(text, value));
}

std::string NumberText(double value) {
    char text[kNumberTextMax];
    return std::string(text, WriteNumberText(text, value));
}

std::string PlainNumberText(double value) {
    std::string text = NumberText(value);
    if (text[0] == ' ') text.erase(0, 1);
    const size_t sign = text[0] == '-' ? 1 : 0;
    if (text[sign] == '.') text.insert(sign, 1, '0');
    return text;
}

}  // namespace scene
