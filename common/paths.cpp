#include "paths.hpp"

#include <algorithm>

#include "strings.hpp"
#include "system.hpp"

namespace scene {

namespace {
std::vector<std::string> ListEntries(platform::FileSystem& files, const std::string& folder,
                                     bool wantFolders) {
    std::vector<std::string> names;
    for (platform::FolderEntry& entry : files.ListFolder(folder))
        if ((entry.Kind == platform::EntryKind::Folder) == wantFolders)
            names.push_back(std::move(entry.Name));
    return names;
}
}  // namespace

std::vector<std::string> ListFileNames(platform::FileSystem& files, const std::string& folder) {
    return ListEntries(files, folder, false);
}

std::vector<std::string> ListFolderNames(platform::FileSystem& files, const std::string& folder) {
    return ListEntries(files, folder, true);
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

std::vector<std::string> ListMatchingFiles(platform::FileSystem& files, const std::string& folder,
                                           std::string_view pattern) {
    std::vector<std::string> names;
    for (std::string& name : ListFileNames(files, folder))
        if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

namespace {

std::vector<std::string> Components(std::string_view rest) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : rest) {
        if (!IsPathSeparator(c)) {
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
    for (char& c : root)
        if (IsPathSeparator(c)) c = kPathSeparator;  // a root written "c:/" is "c:\"
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
    if (IsPathSeparator(folder.back())) return folder + name;
    return JoinPath(folder, name);
}

}  // namespace scene
