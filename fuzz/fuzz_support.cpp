#include "fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>

namespace scene {

const TempDir& Scratch() {
    static const TempDir dir;
    return dir;
}

std::string WriteInput(const std::string& name, std::string_view bytes) {
    std::string path = Scratch() / name;
    WriteBytes(path, std::string(bytes));
    return path;
}

std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            line += bytes[i];
            continue;
        }
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!bytes.empty() && bytes.back() != '\r' && !bytes.ends_with("\r\n"))
        lines.push_back(std::move(line));
    return lines;
}

bool IsWrittenText(std::string_view bytes) {
    if (bytes.empty()) return true;
    if (!bytes.ends_with("\r\n")) return false;
    // Every CR is followed by LF (a written line holds no CR of its own).
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    return true;
}

void FuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
    std::abort();
}

}  // namespace scene
