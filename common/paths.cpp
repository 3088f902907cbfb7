#include "paths.hpp"

#include <algorithm>

#include "platform.hpp"
#include "run_listings.hpp"
#include "strings.hpp"

namespace scene {

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

std::string PickCaseVariant(const std::string& path, std::vector<std::string> candidates) {
    if (candidates.empty()) return path;
    std::sort(candidates.begin(), candidates.end());  // several: the first, every time
    return path.substr(0, path.size() - NameOf(path).size()) + candidates.front();
}

namespace {
constexpr std::string_view kTempMark = ".tmp-";
constexpr size_t kTempRandomLength = 6;
}  // namespace

std::string TempNamePrefix(std::string_view name) {
    std::string prefix = ".";
    prefix.append(name);
    prefix.append(kTempMark);
    return prefix;
}

bool IsTempName(std::string_view name) {
    const size_t fixed = 1 + kTempMark.size() + kTempRandomLength;  // ".", ".tmp-", XXXXXX
    if (name.size() <= fixed || name.front() != '.') return false;
    const std::string_view random = name.substr(name.size() - kTempRandomLength);
    return name.substr(name.size() - kTempRandomLength - kTempMark.size(), kTempMark.size()) ==
               kTempMark &&
           std::all_of(random.begin(), random.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

std::string ResolveCase(const std::string& path) {
#ifdef _WIN32
    return path;  // the file system ignores letter case itself
#else
    if (RunListings* run = RunListings::Active()) return run->ResolveCase(path);
    if (platform::Exists(path)) return path;
    const std::string name = NameOf(path);
    std::vector<std::string> candidates;
    try {
        for (std::string& entry : platform::ListFileNames(FolderOf(path)))
            if (EqualsIgnoringCase(entry, name)) candidates.push_back(std::move(entry));
    } catch (const Failure&) {
        return path;  // the folder cannot be listed: opening will report it
    }
    return PickCaseVariant(path, std::move(candidates));
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
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The length of the root at the start of an absolute path ("/", "c:\"); 0 for a relative one.
size_t RootLength(const std::string& path) {
#ifdef _WIN32
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return 2;  // \\server
#endif
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

std::vector<std::string> Components(std::string_view rest) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : rest) {
        if (!IsSeparator(c)) {
            part += c;
            continue;
        }
        if (!part.empty()) parts.push_back(std::move(part));
        part.clear();
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

}  // namespace

std::string NormalFolder(const std::string& path) {
    std::string full = path;
    if (RootLength(full) == 0) full = JoinPath(platform::CurrentFolder(), path);
    const size_t rootLength = RootLength(full);
    std::string root = full.substr(0, rootLength);
#ifdef _WIN32
    for (char& c : root)
        if (c == '/') c = kPathSeparator;
#endif
    std::vector<std::string> parts;
    for (std::string& part : Components(std::string_view(full).substr(rootLength))) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    std::string folder = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) folder += kPathSeparator;
        folder += parts[i];
    }
    return folder;
}

std::vector<std::string> FolderChain(const std::string& folder) {
    const size_t rootLength = RootLength(folder);
    std::vector<std::string> chain;
    std::string step = folder.substr(0, rootLength);
    if (!step.empty()) chain.push_back(step);
    for (const std::string& part : Components(std::string_view(folder).substr(rootLength))) {
        step = SubfolderPath(step, part);
        chain.push_back(step);
    }
    return chain;
}

std::string SubfolderPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (IsSeparator(folder.back())) return folder + name;
    return JoinPath(folder, name);
}

}  // namespace scene
