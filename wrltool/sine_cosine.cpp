#include "sine_cosine.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace scene {

// Everything here is plain IEEE double arithmetic (no fused multiply-add: the build turns
// contraction off) and integer arithmetic, so every system gets the same bits.

// GCC's 128-bit integers, for exact products of two 64-bit words.
__extension__ typedef unsigned __int128 Uint128;

namespace {

// A double-double: the value hi + lo with |lo| at most half an ulp of hi.
struct Dd {
    double Hi;
    double Lo;
};

Dd QuickTwoSum(double a, double b) {  // |a| >= |b|
    double s = a + b;
    return {s, b - (s - a)};
}

Dd TwoSum(double a, double b) {
    double s = a + b;
    double v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

// The exact product of two doubles, split after Dekker (no fused multiply-add needed).
Dd TwoProduct(double a, double b) {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    double p = a * b;
    double ta = kSplit * a, tb = kSplit * b;
    double ah = ta - (ta - a), al = a - ah;
    double bh = tb - (tb - b), bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

Dd Add(Dd a, Dd b) {
    Dd s = TwoSum(a.Hi, b.Hi);
    Dd t = TwoSum(a.Lo, b.Lo);
    s = QuickTwoSum(s.Hi, s.Lo + t.Hi);
    return QuickTwoSum(s.Hi, s.Lo + t.Lo);
}

Dd Multiply(Dd a, Dd b) {
    Dd p = TwoProduct(a.Hi, b.Hi);
    return QuickTwoSum(p.Hi, p.Lo + (a.Hi * b.Lo + a.Lo * b.Hi));
}

Dd Negate(Dd a) {
    return {-a.Hi, -a.Lo};
}

// 2/pi in binary, 64 bits a word, most significant first: enough for any double's exponent.
constexpr uint64_t kTwoOverPi[] = {
    0xA2F9836E4E441529, 0xFC2757D1F534DDC0, 0xDB6295993C439041, 0xFE5163ABDEBBC561,
    0xB7246E3A424DD2E0, 0x06492EEA09D1921C, 0xFE1DEB1CB129A73E, 0xE88235F52EBB4484,
    0xE99C7026B45F7E41, 0x3991D639835339F4, 0x9C845F8BBDF9283B, 0x1FF897FFDE05980F,
    0xEF2F118B5A0A6D1F, 0x6D367ECF27CB09B7, 0x4F463F669E5FEA2D, 0x7527BAC7EBE5F17B,
    0x3D0739F78A5292EA, 0x6BFB5FB11F8D5D08, 0x56033046FC7B6BAB, 0xF0CFBC209AF4361D,
};
constexpr Dd kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

// (-1)^k / (2k+1)! and (-1)^k / (2k)! for k = 1 to 14: the series end below 2^-110 for
// arguments up to pi/4.
constexpr Dd kSineTerms[] = {
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {-0x1.2f49b46814157p-57, -0x1.2650f61dbdcb4p-112},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {-0x1.761b41316381ap-75, 0x1.3423c7d91404fp-130},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {-0x1.d1ab1c2dccea3p-94, -0x1.054d0c78aea14p-149},
    {0x1.259f98b4358adp-103, 0x1.eaf8c39dd9bc5p-157},
};
constexpr Dd kCosineTerms[] = {
    {-0x1.0000000000000p-1, 0x0.0p+0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {-0x1.6827863b97d97p-53, -0x1.eec01221a8b0bp-107},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {-0x1.0ce396db7f853p-70, 0x1.aebcdbd20331cp-124},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {-0x1.88e85fc6a4e5ap-89, 0x1.71c37ebd16540p-143},
    {0x1.0a18a2635085dp-98, 0x1.b9e2e28e1aa54p-153},
};

// sum over k of terms[k] * r2^(k+1), by Horner's rule.
Dd Series(const Dd (&terms)[14], Dd r2) {
    Dd sum = terms[13];
    for (int k = 12; k >= 0; --k) sum = Add(Multiply(sum, r2), terms[k]);
    return Multiply(sum, r2);
}

// A 384-bit unsigned integer, least significant word first.
struct Wide {
    uint64_t W[6] = {};

    bool Bit(int n) const { return n >= 0 && ((W[n / 64] >> (n % 64)) & 1); }
    // The 64 bits from bit `low` up (bits below 0 read as 0).
    uint64_t Bits64(int low) const {
        uint64_t bits = 0;
        for (int i = 63; i >= 0; --i) bits = (bits << 1) | (Bit(low + i) ? 1 : 0);
        return bits;
    }
    // Clears every bit from bit `point` up.
    void KeepBelow(int point) {
        for (int i = 0; i < 6; ++i) {
            const int low = 64 * i;
            if (low >= point)
                W[i] = 0;
            else if (point - low < 64)
                W[i] &= (uint64_t{1} << (point - low)) - 1;
        }
    }
};

// x = r + q * pi/2 with |r| at most about pi/4, for a positive finite x above pi/4: r to about
// 120 bits, q modulo 4. x * 2/pi is formed exactly from the bits of 2/pi that matter.
int ReduceByHalfPi(double x, Dd& r) {
    int exponent;
    const double mantissa = std::frexp(x, &exponent);  // x = mantissa * 2^exponent
    const uint64_t m = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    const int e = exponent - 53;  // x = m * 2^e

    // Words of 2/pi whose bits, times m * 2^e, are multiples of 4 are left out; five more give
    // the product to 2^-200.
    const int first = e - 2 >= 64 ? (e - 2) / 64 : 0;
    Wide product;
    for (int k = 0; k < 5; ++k) {
        const Uint128 part = static_cast<Uint128>(m) * kTwoOverPi[first + k];
        int at = 4 - k;
        Uint128 carry = static_cast<uint64_t>(part);
        carry += product.W[at];
        product.W[at] = static_cast<uint64_t>(carry);
        carry = (carry >> 64) + static_cast<uint64_t>(part >> 64);
        for (++at; at < 6 && carry != 0; ++at) {
            carry += product.W[at];
            product.W[at] = static_cast<uint64_t>(carry);
            carry >>= 64;
        }
    }
    const int point = 64 * (first + 5) - e;  // x * 2/pi = product / 2^point

    int quadrant = (product.Bit(point) ? 1 : 0) + (product.Bit(point + 1) ? 2 : 0);
    // The fraction below the point; from one half on it counts from the next quadrant down.
    Wide fraction;
    for (int i = 0; i < 6; ++i) fraction.W[i] = product.W[i];
    fraction.KeepBelow(point);
    const bool negative = fraction.Bit(point - 1);
    if (negative) {
        ++quadrant;
        bool borrow = true;  // 2^point - fraction: the two's complement, cut below the point
        for (int i = 0; i < 6; ++i) {
            fraction.W[i] = ~fraction.W[i] + (borrow ? 1 : 0);
            borrow = borrow && fraction.W[i] == 0;
        }
        fraction.KeepBelow(point);
    }

    int lead = point - 1;
    while (lead >= 0 && !fraction.Bit(lead)) --lead;
    if (lead < 0) {  // no double is a multiple of pi/2; kept for completeness
        r = {0, 0};
        return quadrant & 3;
    }
    // The fraction's leading 128 bits as three exact doubles of 53, 53 and 22 bits.
    const uint64_t a = fraction.Bits64(lead - 63);
    const uint64_t b = fraction.Bits64(lead - 127);
    const int base = lead - 127 - point;  // the weight of b's lowest bit
    const double d1 = std::ldexp(static_cast<double>(a >> 11), base + 75);
    const double d2 = std::ldexp(static_cast<double>(((a & 0x7FF) << 42) | (b >> 22)), base + 22);
    const double d3 = std::ldexp(static_cast<double>(b & 0x3FFFFF), base);
    const Dd f = QuickTwoSum(d1, d2 + d3);
    r = Multiply(f, kHalfPi);
    if (negative) r = Negate(r);
    return quadrant & 3;
}

}  // namespace

SineCosine SineAndCosine(double radians) {
    if (!std::isfinite(radians)) return {radians - radians, radians - radians};
    const double x = std::fabs(radians);
    if (x < 0x1p-27) return {radians, 1.0};  // sin x rounds to x, cos x to 1

    Dd r = {x, 0};
    int quadrant = 0;
    if (x > 0x1.921fb54442d18p-1) quadrant = ReduceByHalfPi(x, r);  // beyond pi/4
    const Dd r2 = Multiply(r, r);
    const double s = Add(r, Multiply(r, Series(kSineTerms, r2))).Hi;
    const double c = Add({1.0, 0}, Series(kCosineTerms, r2)).Hi;

    SineCosine result;
    switch (quadrant) {
        case 0:
            result = {s, c};
            break;
        case 1:
            result = {c, -s};
            break;
        case 2:
            result = {-s, -c};
            break;
        default:
            result = {-c, s};
            break;
    }
    if (radians < 0) result.Sine = -result.Sine;
    return result;
}

}  // namespace scene
