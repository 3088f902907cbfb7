#include "test_files.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "name_encoding.hpp"
#include "path_syntax.hpp"
#include "paths.hpp"

namespace scene {

namespace fs = std::filesystem;

namespace {
// A path's bytes as the tools hand them to the system: on Windows converted as its file calls
// convert them (UTF-8, else Windows-1252), elsewhere as they are.
fs::path SystemPath(const std::string& path) {
#ifdef _WIN32
    return fs::path(Utf16Path(path));
#else
    return fs::path(path);
#endif
}

std::string NameBytes(const fs::path& name) {
#ifdef _WIN32
    return Utf8Name(name.u16string());
#else
    return name.string();
#endif
}
}  // namespace

TempDir::TempDir() {
    // A new folder of a random name under the system's temporary folder (mkdtemp is POSIX).
    std::random_device device;
    std::mt19937 random(device());
    std::uniform_int_distribution<int> letter(0, 25);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "scenetools-";
        for (int i = 0; i < 8; ++i) name += static_cast<char>('a' + letter(random));
        fs::path folder = fs::temp_directory_path() / name;
        if (fs::create_directory(folder)) {
            path_ = folder.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only entries; make them writable before removing.
    for (auto& entry : fs::recursive_directory_iterator(path_, ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(const std::string& name) const {
    return PathIn(path_, name);
}

std::string PathIn(const std::string& folder, const std::string& name) {
    std::string native = name;  // "models/tree.wrl" with the separator of the system at hand
    std::replace(native.begin(), native.end(), '/', kPathSeparator);
    return JoinPath(folder, native);
}

std::string RootFolderOf(const std::string& path) {
#ifdef _WIN32
    return path.substr(0, 3);
#else
    (void)path;
    return "/";
#endif
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(SystemPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(SystemPath(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path) {
    return fs::exists(SystemPath(path));
}

void MakeFolder(const std::string& path) {
    if (!fs::create_directory(SystemPath(path)))
        throw std::runtime_error("cannot make folder " + path);
}

void SetReadOnly(const std::string& path, bool readOnly) {
    // On Windows the write bits stand for the read-only attribute.
    constexpr fs::perms kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(SystemPath(path), readOnly ? kWrite : fs::perms::owner_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(SystemPath(folder)))
        names.push_back(NameBytes(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string Marked(const std::string& utf8, Mark mark) {
    if (mark == Mark::Utf8) return "\xEF\xBB\xBF" + utf8;
    std::string bytes;
    auto put = [&](char16_t unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += mark == Mark::Utf16Be ? high : low;
        bytes += mark == Mark::Utf16Be ? low : high;
    };
    put(u'\uFEFF');
    for (char16_t unit : Utf16Name(utf8)) put(unit);
    return bytes;
}

std::vector<std::string> RecordingSink::Texts() const {
    std::vector<std::string> texts;
    for (const Message& m : Messages) texts.push_back(m.Text);
    return texts;
}

}  // namespace scene
