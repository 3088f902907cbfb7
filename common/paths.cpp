#include "paths.hpp"

#include <algorithm>
#include <functional>
#include <random>
#include <thread>

#include "platform.hpp"
#include "run_folders.hpp"
#include "strings.hpp"

namespace scene {

namespace {
bool IsSeparator(char c) {
    return kPathSeparators.find(c) != std::string_view::npos;
}
}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    path += kPathSeparator;
    path.append(name);
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t at = path.find_last_of(kPathSeparators);
    if (at == std::string::npos) return ".";
    // A file in a root folder ("/", "c:\") is in the root itself.
    const size_t root = platform::RootLength(path);
    return path.substr(0, at < root ? root : at);
}

std::string NameOf(const std::string& path) {
    const size_t at = path.find_last_of(kPathSeparators);
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
    constexpr size_t kKeep = kNameMax - 1 - kTempMark.size() - kTempRandomLength;
    if (name.size() > kKeep) {
        size_t cut = kKeep;  // not inside a UTF-8 character: Windows converts names as UTF-8
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name = name.substr(0, cut);
    }
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

std::string TempPathBeside(const std::string& target) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random = [] {  // writers run in several threads
        std::random_device device;
        std::seed_seq seed{
            device(), device(),
            static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id()))};
        return std::mt19937(seed);
    }();
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string path = JoinPath(FolderOf(target), TempNamePrefix(NameOf(target)));
    for (size_t i = 0; i < kTempRandomLength; ++i) path += kLetters[pick(random)];
    return path;
}

std::string ResolveCase(const std::string& path, RunFolders* run) {
    if (kNamesIgnoreCase) return path;  // the file system finds the name itself
    if (run) return run->ResolveCase(path);
    if (platform::Exists(path)) return path;
    const std::string name = NameOf(path);
    std::vector<std::string> candidates;
    try {
        for (std::string& entry : ListFileNames(FolderOf(path)))
            if (EqualsIgnoringCase(entry, name)) candidates.push_back(std::move(entry));
    } catch (const Failure&) {
        return path;  // the folder cannot be listed: opening will report it
    }
    return PickCaseVariant(path, std::move(candidates));
}

namespace {
std::vector<std::string> ListEntries(const std::string& folder, bool wantFolders) {
    std::vector<std::string> names;
    for (platform::FolderEntry& entry : platform::ListFolder(folder))
        if ((entry.Kind == platform::EntryKind::Folder) == wantFolders)
            names.push_back(std::move(entry.Name));
    return names;
}
}  // namespace

std::vector<std::string> ListFileNames(const std::string& folder) {
    return ListEntries(folder, false);
}

std::vector<std::string> ListFolderNames(const std::string& folder) {
    return ListEntries(folder, true);
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
    for (std::string& name : ListFileNames(folder))
        if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

namespace {

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
    if (platform::RootLength(full) == 0) full = JoinPath(platform::CurrentFolder(), path);
    const size_t rootLength = platform::RootLength(full);
    std::string root = full.substr(0, rootLength);
    for (char& c : root)
        if (IsSeparator(c)) c = kPathSeparator;  // a root written "c:/" is "c:\"
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
    const size_t rootLength = platform::RootLength(folder);
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
