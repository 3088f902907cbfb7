// Whether a name can be a plain file name on a Windows file system, on any system: the tools
// write files that users carry between systems.
#pragma once

#include <string>
#include <string_view>

namespace scene {

// Why a Windows file system cannot hold the name as a plain file name, or "" when it can: it is
// empty, holds one of < > : " / \ | ? * or a control character, ends in a dot or blank, or is a
// device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, any letter case, also with an
// extension: "nul.txt").
std::string WindowsNameProblem(std::string_view name);

}  // namespace scene
