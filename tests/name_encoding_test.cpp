// File names as Windows is given them: UTF-8 when valid, else Windows-1252, and back as UTF-8.
// The compiler's own u8"" and u"" literals are the oracle.
#include "name_encoding.hpp"

#include <gtest/gtest.h>

namespace scene {

namespace {

std::string Bytes(std::u8string_view utf8) {
    return std::string(utf8.begin(), utf8.end());
}

TEST(NameEncoding, Utf8NamesConvertBothWays) {
    const std::pair<std::u8string_view, std::u16string_view> names[] = {
        {u8"plain.wrl", u"plain.wrl"},
        {u8"caf\u00e9 M\u00fcll", u"caf\u00e9 M\u00fcll"},
        {u8"\u03a9dir", u"\u03a9dir"},
        {u8"\u65e5\u672c.wrl", u"\u65e5\u672c.wrl"},
        {u8"\U0001F3E0 house", u"\U0001F3E0 house"}};
    for (const auto& [utf8, utf16] : names) {
        EXPECT_TRUE(IsUtf8(Bytes(utf8)));
        EXPECT_EQ(Utf16Name(Bytes(utf8)), utf16);
        EXPECT_EQ(Utf8Name(utf16), Bytes(utf8));
    }
}

TEST(NameEncoding, OtherBytesAreWindows1252) {
    // Lone high bytes, an overlong "/", an overlong three-byte form, a code beyond U+10FFFF.
    for (std::string bytes : {"caf\xE9", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xC3"})
        EXPECT_FALSE(IsUtf8(bytes)) << bytes;
    EXPECT_EQ(Utf16Name("caf\xE9 M\xFCll \x80\x81\x9F\xFF"),
              u"caf\u00e9 M\u00fcll \u20ac\u0081\u0178\u00ff");
    // Each part of a path on its own: a Windows-1252 name in a UTF-8 folder.
    EXPECT_EQ(Utf16Path("C:\\\xCE\xA9/caf\xE9.wrl"), u"C:\\\u03a9/caf\u00e9.wrl");
}

TEST(NameEncoding, AnyNameOfTheSystemComesBackUnchanged) {
    const std::u16string loneSurrogates = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(Utf16Name(Utf8Name(loneSurrogates)), loneSurrogates);
}

}  // namespace

}  // namespace scene
