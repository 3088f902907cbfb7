#include "mounted_roots.hpp"

#include <algorithm>
#include <set>

namespace scene {

namespace {

// File systems that hold no user files of their own.
bool IsPseudoFileSystem(std::string_view type) {
    static const std::set<std::string_view> kPseudo = {
        "autofs",     "binfmt_misc", "bpf",        "cgroup",   "cgroup2",        "configfs",
        "debugfs",    "devpts",      "devtmpfs",   "efivarfs", "fusectl",        "hugetlbfs",
        "mqueue",     "nsfs",        "overlay",    "proc",     "pstore",         "ramfs",
        "rpc_pipefs", "securityfs",  "selinuxfs",  "squashfs", "sysfs",          "tmpfs",
        "tracefs",    "fuse.portal", "fuse.lxcfs", "nfsd",     "fuse.gvfsd-fuse"};
    return kPseudo.count(type) > 0;
}

// /proc/mounts writes blanks, tabs, newlines and backslashes in names as "\ooo".
std::string Unescape(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                        [](char c) { return c >= '0' && c <= '7'; })) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// The next blank-separated field of a line.
std::string_view NextField(std::string_view& line) {
    size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    size_t end = line.find(' ', start);
    std::string_view field = line.substr(start, end == std::string_view::npos ? end : end - start);
    line = end == std::string_view::npos ? std::string_view() : line.substr(end);
    return field;
}

}  // namespace

std::vector<std::string> MountedRoots(std::string_view procMounts) {
    std::set<std::string> others;
    while (!procMounts.empty()) {
        size_t end = procMounts.find('\n');
        std::string_view line = procMounts.substr(0, end);
        procMounts =
            end == std::string_view::npos ? std::string_view() : procMounts.substr(end + 1);
        NextField(line);  // the device
        std::string root = Unescape(NextField(line));
        std::string_view type = NextField(line);
        if (root.empty() || root == "/" || IsPseudoFileSystem(type)) continue;
        others.insert(root);
    }
    std::vector<std::string> roots{"/"};
    roots.insert(roots.end(), others.begin(), others.end());
    return roots;
}

}  // namespace scene
