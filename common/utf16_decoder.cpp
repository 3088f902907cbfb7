#include "utf16_decoder.hpp"

namespace scene {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

char* PutUtf8(char32_t code, char* out) {
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (code >> 18));
        *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

char* Utf16Decoder::Decode(const char* piece, size_t size, char* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(piece);
    for (size_t i = 0; i < size; ++i) {
        if (oddByte_ < 0) {
            oddByte_ = bytes[i];
            continue;
        }
        const unsigned first = static_cast<unsigned>(oddByte_), second = bytes[i];
        oddByte_ = -1;
        const char32_t unit = bigEndian_ ? first << 8 | second : second << 8 | first;
        if (highSurrogate_ && IsLowSurrogate(unit)) {
            out = PutUtf8(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00), out);
            highSurrogate_ = 0;
            continue;
        }
        if (highSurrogate_) out = PutUtf8(kReplacement, out);
        highSurrogate_ = IsHighSurrogate(unit) ? unit : 0;
        if (!highSurrogate_) out = PutUtf8(IsLowSurrogate(unit) ? kReplacement : unit, out);
    }
    return out;
}

char* Utf16Decoder::Finish(char* out) {
    if (highSurrogate_) out = PutUtf8(kReplacement, out);
    if (oddByte_ >= 0) out = PutUtf8(kReplacement, out);
    highSurrogate_ = 0;
    oddByte_ = -1;
    return out;
}

}  // namespace scene
