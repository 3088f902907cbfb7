// Text, numbers and simple elements inside an SVG document.
#pragma once

#include <string>
#include <string_view>

namespace scene {

// The bytes as XML character data or attribute text: &, <, >, " escaped; bytes that are not
// UTF-8 read as Windows-1252 (as the file names they come from); characters XML cannot hold
// (controls, lone surrogates) written as U+FFFD.
std::string XmlText(std::string_view bytes);

// The text cut to its first `count` characters or fewer, "…" after it when cut.
std::string FirstCharacters(const std::string& text, size_t count);
// The text cut to its last `count` characters or fewer, "…" in front when cut; whole UTF-8
// characters only.
std::string LastCharacters(const std::string& text, size_t count);

// A picture coordinate with two decimals ("12.5", "-3"); 0 for what is not finite.
void AppendPixel(std::string& out, double pixel);

// A number for people to read: six significant digits ("12.5", "1e+300").
std::string RoundedText(double value);

// "#rrggbb" for 0xRRGGBB.
std::string HexColour(unsigned rgb);

// A <text> element at a picture position (`text` escaped already), then a line break;
// `attributes` begin with a blank.
void SvgText(std::string& out, double x, double y, const std::string& text,
             const char* attributes = "");
void SvgLine(std::string& out, double x1, double y1, double x2, double y2,
             const char* attributes = "");

}  // namespace scene
