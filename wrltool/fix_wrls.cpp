#include "fix_wrls.hpp"

#include "block_search.hpp"
#include "number_text.hpp"
#include "path_syntax.hpp"
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
constexpr size_t kRewriteBlock = 1 << 18;
// A model another program keeps changing while it is read is given up after this many reads.
constexpr int kMaxReads = 8;

bool HasExporterHeader(RunFiles& files, const std::string& path) {
    BlockFinder header(kExporterHeader);
    ReadBlocks(*files.OpenForReading(path), kHeaderBlock,
               [&header](std::string_view block) { return !header.Feed(block); });
    return header.Found();
}

// Rewrites the model with its seams deleted, locked against other rewrites from its reading to
// its replacing. False, writing nothing, when it no longer holds the header (replaced since).
bool RewriteWithoutSeams(RunFiles& files, const std::string& path, const std::string& name) {
    std::unique_ptr<platform::ReadableFile> model = files.OpenLocked(path);
    for (int read = 1; read <= kMaxReads; ++read) {
        const platform::ContentStamp before = model->Stamp();
        TextFileWriter out(files, *model);
        BlockFinder header(kExporterHeader);
        BlockDeleter seams(ExporterSeam(BaseName(name)),
                           [&out](std::string_view kept) { out.Write(kept); });
        ReadBlocks(*model, kRewriteBlock, [&](std::string_view block) {
            header.Feed(block);
            seams.Feed(block);
            return true;
        });
        if (model->Stamp() != before) {  // written in place by another program meanwhile
            model->Rewind();
            continue;
        }
        if (!header.Found()) return false;
        seams.Finish();
        out.Write("\r\n");  // the whole content was written as one line
        out.Commit();
        return true;
    }
    throw Failure(FailureKind::AccessFailure, model->Path(), "changed while it was read");
}

}  // namespace

void RunFixWrls(RunContext& run, const FixInputs& inputs) {
    const int total = static_cast<int>(inputs.ModelNames.size());
    long invalidCount = 0;
    for (int i = 0; i < total; ++i) {
        run.Progress.Show(Work::FixingModels, i, total);
        if (run.Stop.stop_requested()) {
            run.Messages.ShowMessage(StoppedText(Work::FixingModels, i, total), MessageIcon::None);
            return;
        }
        const std::string& name = inputs.ModelNames[static_cast<size_t>(i)];
        const std::string path = JoinPath(inputs.FolderPath, name);
        // An empty model has no header; one that lost it since is not rewritten.
        if (!HasExporterHeader(run.Files, path) || !RewriteWithoutSeams(run.Files, path, name)) {
            ++invalidCount;
            continue;
        }
        run.Record.FileWritten(path);
    }
    run.Messages.ShowMessage(
        "DONE with " + NumberText(static_cast<double>(invalidCount)) + " invalid file(s)",
        MessageIcon::None);
}

}  // namespace scene
