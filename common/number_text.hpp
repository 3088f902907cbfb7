// Numbers as text, the way both tools write and show them.
#pragma once

#include <string>

namespace scene {

// Sign position ("-" or a blank), at most 15 significant digits, no "0" before the point:
// 0.25 gives " .25", -2 gives "-2", 1E15 gives " 1E+15". Used for everything written to files.
std::string NumberText(double value);
void AppendNumberText(std::string& out, double value);
// The same text written at `out`, which must have room for kNumberTextMax bytes; returns the
// end. For hot loops that build whole lines in place.
inline constexpr size_t kNumberTextMax = 32;
char* WriteNumberText(char* out, double value);
// The numbers' texts, each behind a blank, written at `out` (room for kNumberTextMax + 1
// bytes each); returns the end.
char* WriteNumberTexts(char* out, const double* values, int count);

// The same digits without the sign blank and with a "0" before the point: 0.5 gives "0.5".
// Used for numbers shown in a window.
std::string PlainNumberText(double value);

}  // namespace scene
