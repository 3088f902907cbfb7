#include "name_encoding.hpp"

namespace scene {

namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F; the rest equal their byte.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes the UTF-8 sequence at bytes[i], moving i past it; false when it is not one.
bool DecodeUtf8(std::string_view bytes, size_t& i, char32_t& code) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    if (lead < 0x80) {
        code = lead;
        ++i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07;
    } else {
        return false;
    }
    if (i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return false;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF) return false;
    i += length;
    return true;
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
    } else {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    char32_t code = 0;
    for (size_t i = 0; i < bytes.size();)
        if (!DecodeUtf8(bytes, i, code)) return false;
    return true;
}

std::u16string Utf16Name(std::string_view bytes) {
    std::u16string name;
    name.reserve(bytes.size());
    if (IsUtf8(bytes)) {
        char32_t code = 0;
        for (size_t i = 0; i < bytes.size();) {
            DecodeUtf8(bytes, i, code);
            AppendUtf16(name, code);
        }
        return name;
    }
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        name += byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
    }
    return name;
}

std::u16string Utf16Path(std::string_view bytes) {
    std::u16string path;
    path.reserve(bytes.size());
    size_t start = 0;
    while (true) {
        const size_t end = bytes.find_first_of("\\/", start);
        path += Utf16Name(bytes.substr(start, end - start));
        if (end == std::string_view::npos) return path;
        path += static_cast<char16_t>(bytes[end]);
        start = end + 1;
    }
}

std::string Utf8Name(std::u16string_view name) {
    std::string bytes;
    bytes.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        char32_t code = name[i];
        const bool pair = code >= 0xD800 && code <= 0xDBFF && i + 1 < name.size() &&
                          name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF;
        if (pair) code = 0x10000 + ((code - 0xD800) << 10) + (name[++i] - 0xDC00);
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

}  // namespace scene
