#include "strings.hpp"

#include <algorithm>
#include <functional>
#include <optional>

namespace scene {

std::string ReplaceAll(std::string_view text, std::string_view sought,
                       std::string_view replacement) {
    if (sought.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    // A long sought text (a seam of ten lines) in a long text (a whole model) starts with
    // blanks that the text is full of: skipping ahead by the last character's distance is much
    // faster than trying each blank. Short texts are not worth building the skip table.
    std::optional<std::boyer_moore_horspool_searcher<std::string_view::const_iterator>> searcher;
    if (sought.size() >= 8 && text.size() >= 4096) searcher.emplace(sought.begin(), sought.end());
    auto find = [&](size_t from) {
        if (!searcher) return text.find(sought, from);
        auto at =
            std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), *searcher);
        return at == text.end() ? std::string_view::npos : static_cast<size_t>(at - text.begin());
    };
    size_t from = 0;
    for (size_t at = find(0); at != std::string_view::npos; at = find(from)) {
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

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        // Bytes compare unsigned, as std::string's own order does.
        const auto upperA = static_cast<unsigned char>(UpperChar(a[i]));
        const auto upperB = static_cast<unsigned char>(UpperChar(b[i]));
        if (upperA != upperB) return upperA < upperB;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace scene
