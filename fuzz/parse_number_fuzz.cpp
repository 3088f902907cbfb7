// Number text both ways: ParseNumber accepts the texts of its grammar but those beyond the
// double range, each as the C library's nearest double; the one-pass reading of a point line's
// three numbers gives those of its fields; ParseInteger never crashes; NumberText reads back as
// the value to 15 digits.
#include <algorithm>
#include <cfloat>
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

namespace {

// The grammar written out plainly: a sign, digits with at most one point (one digit at the
// least), an exponent of one digit at the least.
bool IsNumberText(std::string_view t) {
    size_t i = 0, digits = 0;
    auto sign = [&] { i += i < t.size() && (t[i] == '+' || t[i] == '-'); };
    auto skipDigits = [&] {
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) ++digits;
    };
    sign();
    skipDigits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        skipDigits();
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        sign();
        const size_t mantissaDigits = digits;
        skipDigits();
        if (digits == mantissaDigits) return false;
    }
    return i == t.size();
}

// Three numbers read in one pass, as for a point line, are those of the fields between blanks.
void CheckPointLine(std::string_view text) {
    using namespace scene;
    double values[3];
    const char* behind = ScanNumbers(text.data(), text.data() + text.size(), values, 3);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    const std::string_view text = AsText(data, size);
    FailureKind why = FailureKind::InvalidArgument;
    const std::optional<double> value = TryParseNumber(text, &why);
    CheckPointLine(text);

    // The texts of the grammar are those strtod reads (as the nearest double); those it
    // overflows are refused as the overflow, every other text as a type mismatch.
    const std::string trimmed(Trim(text));
    const bool number = IsNumberText(trimmed);
    const double reference = number ? std::strtod(trimmed.c_str(), nullptr) : 0;
    FUZZ_CHECK(value.has_value() == (number && !std::isinf(reference)));
    FUZZ_CHECK(value || why == (number ? FailureKind::Overflow : FailureKind::TypeMismatch));
    try {
        const double parsed = ParseNumber(text);
        FUZZ_CHECK(value && parsed == *value);
    } catch (const Failure& failure) {
        FUZZ_CHECK(!value && failure.Kind() == why);
    }
    try {
        const int16_t whole = ParseInteger(text);
        FUZZ_CHECK(value && std::fabs(whole - *value) <= 0.5);
    } catch (const Failure&) {
    }
    if (!value) return 0;
    // Both give the nearest double (a value below the normal range may read as 0).
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
