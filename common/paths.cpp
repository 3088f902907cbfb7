#include "paths.hpp"

#include <algorithm>

#include "platform.hpp"
#include "strings.hpp"

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    path += kPathSeparator;
    path.append(name);
    return path;
}

static size_t LastSeparator(const std::string& path) {
#ifdef _WIN32
    return path.find_last_of("\\/");
#else
    return path.rfind(kPathSeparator);
#endif
}

std::string FolderOf(const std::string& path) {
    size_t at = LastSeparator(path);
    if (at == std::string::npos) return ".";
    if (at == 0) return path.substr(0, 1);
#ifdef _WIN32
    if (at == 2 && path[1] == ':') return path.substr(0, 3);  // a drive's root folder: "c:\"
#endif
    return path.substr(0, at);
}

std::string NameOf(const std::string& path) {
    size_t at = LastSeparator(path);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ResolveCase(const std::string& path) {
#ifdef _WIN32
    return path;  // the file system ignores letter case itself
#else
    if (platform::Exists(path)) return path;
    std::string folder = FolderOf(path);
    std::string name = NameOf(path);
    std::vector<std::string> candidates;
    try {
        for (std::string& entry : platform::ListFileNames(folder))
            if (EqualsIgnoringCase(entry, name)) candidates.push_back(std::move(entry));
    } catch (const Failure&) {
        return path;  // the folder cannot be listed: opening will report it
    }
    if (candidates.empty()) return path;
    std::sort(candidates.begin(), candidates.end());  // several: the first, every time
    return path.substr(0, path.size() - name.size()) + candidates.front();
#endif
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtrack point for the last "*".
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    auto same = [](char a, char b) { return EqualsIgnoringCase({&a, 1}, {&b, 1}); };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> ListMatchingFiles(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> names;
    for (std::string& name : platform::ListFileNames(folder))
        if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string ua = UpperCase(a), ub = UpperCase(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}
