// Fix WRLs: joins the repeated MASTER, VRL and MESH blocks of every exporter-written model of
// a folder into one hierarchy, rewriting each such model in place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base_name.hpp"
#include "run_context.hpp"

namespace scene {

inline constexpr std::string_view kExporterHeader = "# Produced by QLib's VRML export, version 2";

// What the command takes from the window: the model folder and the model list's names, in
// list order (the folder's "*.wrl" files, letter case ignored, sorted ignoring case).
struct FixInputs {
    std::string FolderPath;
    std::vector<std::string> ModelNames;
};

// The ten lines that close one exporter block and open the next, joined by CR LF, with the
// base name in the DEF names.
std::string ExporterSeam(std::string_view baseName);

// Rewrites every listed model that holds the exporter header with all seams deleted (plus
// one CR LF at its end), tells the run's record of each, counts the others, and ends with
// "DONE with  N invalid file(s)". Stops at the first failure and throws it (no end message): a
// model that cannot be read or written. Models before it stay rewritten, later ones untouched.
// Each model is locked against other rewrites from its reading to its replacing, and read again
// when another program changed it meanwhile. A stop ends the run between two models with
// "Stopped: N of M models checked". Over a recording file system this is the dry run.
void RunFixWrls(RunContext& run, const FixInputs& inputs);

}  // namespace scene
