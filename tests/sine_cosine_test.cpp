// Sine and cosine: the nearest double every time, so that every system places points alike.
#include "sine_cosine.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "commands.hpp"
#include "number_text.hpp"

namespace scene {

namespace {

struct Case {
    double Radians, Sine, Cosine;
};

TEST(SineAndCosine, NearestDoubleOfTheExactValue) {
    // Expected bits from a 2000-bit evaluation.
    const Case cases[] = {
        {90 * kPointScale, 0x1p+0, 0x1.ed60a11a62633p-30},
        {45 * kPointScale, 0x1.6a09e66280416p-1, 0x1.6a09e66d67384p-1},
        {180 * kPointScale, 0x1.ed60a11a62633p-29, -0x1p+0},
        {-30 * kPointScale, -0x1.fffffff7192fep-2, 0x1.bb67ae8816a0dp-1},
        {-0x1.8edd018cebb5fp+3, 0x1.a0a114c5ee83fp-4, 0x1.fd5830c7e8c47p-1},  // a libm is off
        {1e22, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},
        // The double nearest to a multiple of pi/2: its remainder needs 120 bits of pi.
        {0x1.6ac5b262ca1ffp+849, 0x1p+0, -0x1.14ae72e6ba22fp-61},
    };
    for (const Case& c : cases) {
        SineCosine sc = SineAndCosine(c.Radians);
        EXPECT_EQ(sc.Sine, c.Sine) << std::hexfloat << c.Radians;
        EXPECT_EQ(sc.Cosine, c.Cosine) << std::hexfloat << c.Radians;
    }
    EXPECT_EQ(NumberText(SineAndCosine(90 * kPointScale).Cosine), " 1.79489673696541E-09");
}

TEST(SineAndCosine, SignsSmallAnglesAndNonNumbers) {
    for (double x : {0.3, 1.0, 2.5, 4.0, 5.5, 100.0, 1e6}) {
        EXPECT_EQ(SineAndCosine(-x).Sine, -SineAndCosine(x).Sine) << x;
        EXPECT_EQ(SineAndCosine(-x).Cosine, SineAndCosine(x).Cosine) << x;
    }
    EXPECT_TRUE(std::signbit(SineAndCosine(-0.0).Sine));
    EXPECT_EQ(SineAndCosine(-0.0).Cosine, 1.0);
    EXPECT_EQ(SineAndCosine(1e-10).Sine, 1e-10);
    EXPECT_TRUE(std::isnan(SineAndCosine(std::numeric_limits<double>::infinity()).Sine));
    EXPECT_TRUE(std::isnan(SineAndCosine(std::numeric_limits<double>::quiet_NaN()).Cosine));
}

}  // namespace

}  // namespace scene
