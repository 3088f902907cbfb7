#include "fix_wrls.hpp"

#include <cstdint>

#include "block_search.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "platform.hpp"
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

bool HasExporterHeader(const std::string& path) {
    BlockFinder header(kExporterHeader);
    ReadBlocks(path, kHeaderBlock,
               [&header](std::string_view block) { return !header.Feed(block); });
    return header.Found();
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
    int16_t invalidCount = 0;  // a 16-bit counter: the 32768th invalid model overflows it
    for (int i = 0; i < total; ++i) {
        sink.Progress(Work::FixingModels, i, total);
        if (sink.StopRequested()) {
            sink.ShowMessage(StoppedText(Work::FixingModels, i, total), MessageIcon::None);
            return;
        }
        const std::string& name = inputs.ModelNames[static_cast<size_t>(i)];
        const std::string path = JoinPath(inputs.FolderPath, name);
        if (!HasExporterHeader(path)) {  // an empty model has none
            if (invalidCount == INT16_MAX) throw Failure(FailureKind::Overflow);
            ++invalidCount;
            continue;
        }
        if (dryRun) {  // the model would change (at least a line end is added)
            CheckCanWrite(path);
            sink.DryRunLine("would rewrite " + path);
            continue;
        }
        TextFileWriter out(path, Durability::UserFileInBatch);
        BlockDeleter seams(ExporterSeam(BaseName(name)),
                           [&out](std::string_view kept) { out.Write(kept); });
        ReadBlocks(path, kRewriteBlock, [&seams](std::string_view block) {
            seams.Feed(block);
            return true;
        });
        seams.Finish();
        out.Write("\r\n");  // the whole content was written as one line
        out.Commit();
        folderSync.Needed = true;
        sink.FileWritten(path);
    }
    sink.ShowMessage("DONE with " + NumberText(invalidCount) + " invalid file(s)",
                     MessageIcon::None);
}

}  // namespace scene
