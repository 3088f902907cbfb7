// Number text to numbers: an optional sign, digits with at most one ".", an optional exponent,
// blanks at both ends ignored. Nothing else is a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "failure.hpp"

namespace scene {

// The common forms read in one pass: reads the number that begins at `at` (no blanks before
// it) as far as it goes, leaving `at` behind it, and gives its value when ParseNumber of just
// that text gives it without the general conversion. Nothing otherwise (`at` is then
// unspecified): the text is no number, or ParseNumber must decide.
std::optional<double> ScanNumber(const char*& at, const char* end);
// `count` numbers one after the other with blanks between them, each read as ScanNumber reads
// it, in one pass: gives where the last ends, or nullptr when one is not read so.
const char* ScanNumbers(const char* at, const char* end, double* values, int count);

// The nearest double, or nothing; `why` tells type mismatch from overflow.
std::optional<double> TryParseNumber(std::string_view text, FailureKind* why = nullptr);

// Throws the type mismatch failure for text that is no number, overflow beyond the double range.
double ParseNumber(std::string_view text);

// ParseNumber rounded half to even; overflow outside -32768..32767.
int16_t ParseInteger(std::string_view text);

}  // namespace scene
