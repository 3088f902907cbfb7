#include "fix_wrls.hpp"

#include "block_search.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "platform.hpp"
#include "run_folders.hpp"
#include "strings.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

std::string ExporterSeam(std::string_view baseName) {
    static constexpr std::string_view kSeamTemplate =
        "   ]\r\n"
        "}\r\n"
        " ] }\r\n"
        " ] }\r\n"
        "DEF MASTER Transform {\r\n"
        " children [\r\n"
        " DEF VRL_XXXX_vrl Transform {\r\n"
        "  children [\r\n"
        "DEF MESH_XXXX Transform {\r\n"
        "  children [";
    return ReplaceAll(kSeamTemplate, "XXXX", baseName);
}

namespace {

// The model is streamed through in blocks: its size may exceed memory.
constexpr size_t kHeaderBlock = 64 * 1024;  // the header stands near the top, as a rule
constexpr size_t kRewriteBlock = 1 << 20;

bool HasExporterHeader(const std::string& path, RunFolders& run) {
    BlockFinder header(kExporterHeader);
    ReadBlocks(
        path, kHeaderBlock, [&header](std::string_view block) { return !header.Feed(block); },
        &run);
    return header.Found();
}

// Rewrites the model with its seams deleted, locked against other rewrites from its reading to
// its replacing. False, writing nothing, when it no longer holds the header (replaced since).
bool RewriteWithoutSeams(const std::string& path, const std::string& name, RunFolders& run) {
    const std::string resolved = ResolveCase(path, &run);
    platform::FileHandle model = platform::OpenLockedForRewrite(resolved);
    TextFileWriter out(resolved, Durability::UserFileInBatch, &run);
    BlockFinder header(kExporterHeader);
    BlockDeleter seams(ExporterSeam(BaseName(name)),
                       [&out](std::string_view kept) { out.Write(kept); });
    ReadBlocks(model.get(), resolved, kRewriteBlock, [&](std::string_view block) {
        header.Feed(block);
        seams.Feed(block);
        return true;
    });
    if (!header.Found()) return false;
    seams.Finish();
    out.Write("\r\n");  // the whole content was written as one line
    out.Commit(&model);
    return true;
}

}  // namespace

void RunFixWrls(const FixInputs& inputs, MessageSink& sink, bool dryRun) {
    const int total = static_cast<int>(inputs.ModelNames.size());
    // Each rewritten model is on disk before it replaces the old one; the renames are made
    // lasting with one folder sync at the end, also when a failure stops the run.
    struct FolderSync {
        const std::string& Folder;
        bool Needed = false;
        ~FolderSync() {
            if (Needed) platform::SyncFolder(Folder);
        }
    } folderSync{inputs.FolderPath};
    RunFolders run;
    long invalidCount = 0;
    for (int i = 0; i < total; ++i) {
        sink.Progress(Work::FixingModels, i, total);
        if (sink.StopRequested()) {
            sink.ShowMessage(StoppedText(Work::FixingModels, i, total), MessageIcon::None);
            return;
        }
        const std::string& name = inputs.ModelNames[static_cast<size_t>(i)];
        const std::string path = JoinPath(inputs.FolderPath, name);
        if (!HasExporterHeader(path, run)) {  // an empty model has none
            ++invalidCount;
            continue;
        }
        if (dryRun) {  // the model would change (at least a line end is added)
            CheckCanWrite(path, &run);
            sink.DryRunLine("would rewrite " + path);
            continue;
        }
        if (!RewriteWithoutSeams(path, name, run)) {
            ++invalidCount;
            continue;
        }
        folderSync.Needed = true;
        sink.FileWritten(path);
    }
    sink.ShowMessage(
        "DONE with " + NumberText(static_cast<double>(invalidCount)) + " invalid file(s)",
        MessageIcon::None);
}

}  // namespace scene
