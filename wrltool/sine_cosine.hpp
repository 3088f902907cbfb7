// Sine and cosine that come out the same to the last bit on every system. The C libraries
// differ there (MinGW's is off from the 12th digit near a right angle), and the digits of a
// placed point must not depend on the system the tool runs on.
#pragma once

namespace scene {

struct SineCosine {
    double Sine;
    double Cosine;
};

// Both of an angle in radians, each the double nearest to the exact value (computed with about
// 106 bits, so a rounding can only differ where the exact value lies within 2^-100 of a tie).
// Infinite or not-a-number angles give not-a-number.
SineCosine SineAndCosine(double radians);

}  // namespace scene
