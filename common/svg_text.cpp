#include "svg_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "name_encoding.hpp"

namespace scene {

namespace {

bool IsSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// XML 1.0 holds tab, line feed and carriage return among the controls, and no U+FFFE, U+FFFF.
bool XmlCanHold(char16_t c) {
    return (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') && c != 0xFFFE && c != 0xFFFF;
}

// Lone surrogates and characters XML cannot hold become U+FFFD.
std::u16string Holdable(std::u16string text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                               text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pairStart) {
            ++i;
            continue;
        }
        if (IsSurrogate(c) || !XmlCanHold(c)) text[i] = u'\uFFFD';
    }
    return text;
}

}  // namespace

std::string XmlText(std::string_view bytes) {
    const std::string utf8 = Utf8Name(Holdable(Utf16Name(bytes)));
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string FirstCharacters(const std::string& text, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == count) return text.substr(0, i) + "\xE2\x80\xA6";
    }
    return text;
}

std::string LastCharacters(const std::string& text, size_t count) {
    size_t characters = 0;
    for (size_t i = text.size(); i-- > 0;) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;          // inside one
        if (++characters == count && i > 0) return "\xE2\x80\xA6" + text.substr(i);  // "…"
    }
    return text;
}

void AppendPixel(std::string& out, double pixel) {
    char text[64];
    if (!std::isfinite(pixel) || std::abs(pixel) > 1e15) pixel = 0;
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, std::round(pixel * 100) / 100);
    out.append(text, written.ptr);
}

std::string RoundedText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value + 0.0);  // never "-0"
    return text;
}

std::string HexColour(unsigned rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", rgb & 0xFFFFFFu);
    return text;
}

void SvgText(std::string& out, double x, double y, const std::string& text,
             const char* attributes) {
    out += "<text x=\"";
    AppendPixel(out, x);
    out += "\" y=\"";
    AppendPixel(out, y);
    out += "\"";
    out += attributes;
    out += ">" + text + "</text>\n";
}

void SvgLine(std::string& out, double x1, double y1, double x2, double y2, const char* attributes) {
    const double values[] = {x1, y1, x2, y2};
    const char* names[] = {"<line x1=\"", "\" y1=\"", "\" x2=\"", "\" y2=\""};
    for (int i = 0; i < 4; ++i) {
        out += names[i];
        AppendPixel(out, values[i]);
    }
    out += "\"";
    out += attributes;
    out += "/>\n";
}

}  // namespace scene
