// The preview of a TSO list file: the names that List1 shows when the file is selected.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "messages.hpp"
#include "run_files.hpp"

namespace scene {

// The first item of every record of seven items whose first item is not blank, comments
// included; an unquoted first item that reads as a number is shown in its plain number form
// (007 gives 7). Throws the failure when the file cannot be opened; after that, failing reads
// are skipped and an item a failed read did not reach keeps the previous record's value.
std::vector<std::string> PreviewListFile(RunFiles& files, const std::string& folderPath,
                                         const std::string& fileName);

// The selection handler's whole rule. In MGP mode (Check2 set): nothing, List1 keeps what it
// shows. Otherwise: what List1 shows from now on; when the file cannot be opened the failure
// goes to the sink and List1 is left empty.
std::optional<std::vector<std::string>> PreviewForSelection(bool mgpMode, RunFiles& files,
                                                            const std::string& folderPath,
                                                            const std::string& fileName,
                                                            MessageSink& sink);

}  // namespace scene
