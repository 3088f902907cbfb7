// Duplicate's files in a dry run: every check a real run makes before it writes, nothing
// written. Models the run would repair are kept, repaired, in memory for its later steps.
#include <map>
#include <set>

#include "duplicate_files.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "platform.hpp"
#include "run_folders.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

std::string PlacementText(const Placement& p) {
    return "X " + PlainNumberText(p.X) + ", Y " + PlainNumberText(p.Y) + ", Z " +
           PlainNumberText(p.Z) + ", orientation " + PlainNumberText(p.Orientation) + ", angle Z " +
           PlainNumberText(p.AngleZ) + ", angle X " + PlainNumberText(p.AngleX);
}

class DryRunDuplicateFiles : public DuplicateFiles {
  public:
    DryRunDuplicateFiles(MessageSink& sink, RunFolders& run) : sink_(sink), run_(run) {}

    void CreateFolder(const std::string& path) override {
        // As mkdir would: an existing entry, or a parent that takes no new entry, fails.
        if (folders_.count(path) || platform::Exists(path))
            throw Failure(FailureKind::AccessFailure, path);
        platform::CheckCanCreateIn(FolderOf(path), path);
        folders_.insert(path);
    }

    CheckedModel CheckModel(const std::string& modelPath) override {
        const std::string key = ResolveCase(modelPath, &run_);
        std::optional<platform::FileStamp> stamp;
        const platform::FileHandle model = platform::OpenForReading(key, &stamp);
        auto repaired = repaired_.find(key);
        if (repaired != repaired_.end()) return {CheckModelText(repaired->second), stamp};
        return {scene::CheckModel(model.get(), key), stamp};
    }

    bool RepairModel(const std::string& modelPath) override {
        bool repaired = false;
        Told([&] {
            const std::string key = ResolveCase(modelPath, &run_);
            std::string before = Contents(key);
            TextFileReader model(key, before);
            std::string after = RepairedText(model);
            if (after == before) return;  // a real run leaves it alone too
            CheckWouldWrite(modelPath);
            sink_.DryRunLine("would repair " + modelPath);
            repaired_[key] = std::move(after);
            repaired = true;
        });
        return repaired;
    }

    PreparedCopy PrepareCopy(const CopyOrder& order) override {
        PreparedCopy copy;
        copy.Index = order.Index;
        copy.ModelPath = order.ModelPath;
        copy.CopyPath = order.CopyPath;
        StepFailures lines;
        try {
            Told([&] {
                TextFileReader model = Open(order.ModelPath);
                CheckWouldWrite(order.CopyPath);
                sink_.DryRunLine("would write " + order.CopyPath + " from " + order.ModelPath +
                                 " at " + PlacementText(*order.Place));
                CountCopyFailures(model, *order.Place, lines);
            });
        } catch (const Failure& failure) {
            copy.State = PreparedCopy::Outcome::Failed;
            copy.Failures.Add(failure);
            return copy;
        }
        for (int i = 0; i < lines.Count; ++i) {  // each point line is a failed step
            Tell(*lines.First);
            copy.Failures.Add(*lines.First);
        }
        return copy;
    }

    void Commit(PreparedCopy&) override {}

    void WriteFile(const std::string& path, std::string_view) override {
        Told([&] {
            CheckWouldWrite(path);
            sink_.DryRunLine("would write " + path);
        });
    }

  private:
    MessageSink& sink_;
    RunFolders& run_;
    std::set<std::string> folders_;                // folders the run would have created
    std::map<std::string, std::string> repaired_;  // models as the run would have repaired them

    void Tell(const Failure& failure) {
        std::string text = "would fail: ";
        text += failure.Description();
        if (!failure.Path().empty()) text += " (" + failure.Path() + ")";
        sink_.DryRunLine(text);
    }

    // Runs the step; a failure it raises is told before it goes on to the caller.
    template <typename Step>
    void Told(Step&& step) {
        try {
            step();
        } catch (const Failure& failure) {
            Tell(failure);
            throw;
        }
    }

    std::string Contents(const std::string& resolvedPath) {
        auto it = repaired_.find(resolvedPath);
        return it != repaired_.end() ? it->second : ReadWholeText(resolvedPath, &run_);
    }

    TextFileReader Open(const std::string& path) {
        auto it = repaired_.find(ResolveCase(path, &run_));
        if (it == repaired_.end()) return TextFileReader(path, TextSource::Exact, &run_);
        return TextFileReader(it->first, it->second);
    }

    // Throws what opening the file for writing would; a folder this run would have created
    // takes any new file.
    void CheckWouldWrite(const std::string& path) {
        if (!folders_.count(FolderOf(path))) CheckCanWrite(path, &run_);
    }
};

}  // namespace

std::unique_ptr<DuplicateFiles> DryRunFiles(MessageSink& sink, RunFolders& run) {
    return std::make_unique<DryRunDuplicateFiles>(sink, run);
}

}  // namespace scene
