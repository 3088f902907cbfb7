// File names are bytes in the tools. Windows names files in UTF-16: a name's bytes go there as
// UTF-8 when they are valid UTF-8 (what editors write today), else as Windows-1252 (what older
// Windows tools wrote into lists); names from Windows come back as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace scene {

// Whether the bytes are UTF-8. Encoded lone surrogates count, so that any name Windows holds
// comes back unchanged through Utf16Name(Utf8Name(...)).
bool IsUtf8(std::string_view bytes);

// The UTF-16 name for a name's bytes: UTF-8 when valid, else Windows-1252 (its five unassigned
// bytes map to the control characters of the same number, as Windows maps them).
std::u16string Utf16Name(std::string_view bytes);

// A path's UTF-16 form: each part between separators ("\\" or "/") converted by Utf16Name on
// its own, so that a Windows-1252 name inside a UTF-8 folder finds its file.
std::u16string Utf16Path(std::string_view bytes);

// The bytes of a UTF-16 name as UTF-8 (a lone surrogate keeps its three-byte form).
std::string Utf8Name(std::u16string_view name);

}  // namespace scene
