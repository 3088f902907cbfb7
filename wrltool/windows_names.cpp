#include "windows_names.hpp"

#include <array>

#include "strings.hpp"

namespace scene {

namespace {

constexpr char kNoWindowsName[] = ", which no Windows file name may hold";

// The devices; COM and LPT also take the superscript digits ¹ ² ³ (in UTF-8) as their number.
bool IsDeviceName(std::string_view name) {
    const std::string upper = UpperCase(name);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL"})
        if (upper == device) return true;
    if (upper.size() < 4 || (!upper.starts_with("COM") && !upper.starts_with("LPT"))) return false;
    const std::string_view number = std::string_view(upper).substr(3);
    constexpr std::array<std::string_view, 3> kSuperscripts = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    for (std::string_view superscript : kSuperscripts)
        if (number == superscript) return true;
    return number.size() == 1 && number[0] >= '1' && number[0] <= '9';
}

}  // namespace

std::string WindowsNameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32)
            return "holds the control character " + std::to_string(byte) + kNoWindowsName;
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return std::string("holds '") + c + "'" + kNoWindowsName;
    }
    if (name.back() == '.') return "ends in a dot, which Windows drops from a file name";
    if (name.back() == ' ') return "ends in a blank, which Windows drops from a file name";
    // A device is named by what stands before the first dot, blanks at its end left out.
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    if (IsDeviceName(stem)) return "is the Windows device name " + UpperCase(stem);
    return "";
}

}  // namespace scene
