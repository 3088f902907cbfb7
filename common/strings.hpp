// String rules shared by both tools: exact letter case, blanks are character 32 only.
#pragma once

#include <string>
#include <string_view>

namespace scene {

// Removes blanks (character 32) at both ends; tabs and everything else stay.
inline std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    return text.substr(begin, end - begin);
}

// Every occurrence, left to right without overlap; replaced text is never searched again.
std::string ReplaceAll(std::string_view text, std::string_view sought,
                       std::string_view replacement);

// Lower-case ASCII letters become capitals; every other byte stays.
std::string UpperCase(std::string_view text);

// Equal after upper-casing both sides.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The order of names in lists: by their upper-cased bytes, names equal so by their own bytes.
bool LessIgnoringCase(std::string_view a, std::string_view b);

inline bool Contains(std::string_view text, std::string_view sought) {
    return text.find(sought) != std::string_view::npos;
}

}  // namespace scene
