#include "strings.hpp"

std::string ReplaceAll(std::string_view text, std::string_view sought,
                       std::string_view replacement) {
    std::string result;
    if (sought.empty()) return std::string(text);
    result.reserve(text.size());
    size_t from = 0;
    for (size_t at = text.find(sought); at != std::string_view::npos;
         at = text.find(sought, from)) {
        result.append(text.substr(from, at - from));
        result.append(replacement);
        from = at + sought.size();
    }
    result.append(text.substr(from));
    return result;
}

static char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = UpperChar(c);
    return result;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}
