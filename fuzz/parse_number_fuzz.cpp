// Number text both ways: ParseNumber agrees with the C library's conversion on every text it
// accepts, ParseInteger never crashes, and NumberText reads back as the value to 15 digits.
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "fuzz_support.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "strings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    const std::string_view text = AsText(data, size);
    FailureKind why = FailureKind::InvalidArgument;
    const std::optional<double> value = TryParseNumber(text, &why);
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
