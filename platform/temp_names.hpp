// The names of the hidden temporary files a writer makes beside its target: ".NAME.tmp-" and
// six letters or digits, so that one left by a killed process is recognisable.
#pragma once

#include <string>
#include <string_view>

namespace scene {

// The temporary name without its six random characters. NAME is cut (never inside a UTF-8
// character) so that the temporary name fits wherever the target's name does.
std::string TempNamePrefix(std::string_view name);
// Whether a folder entry's name has the temporary files' pattern (for any NAME).
bool IsTempName(std::string_view name);
// A new temporary name for the target named `name`, its six characters drawn at random.
std::string NewTempName(std::string_view name);

}  // namespace scene
