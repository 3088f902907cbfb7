// Duplicate's files in a dry run: every check a real run makes before it writes, nothing
// written. Models the run would repair are kept, repaired, in memory for its later steps.
#include <map>
#include <set>

#include "duplicate_files.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "platform.hpp"
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
    explicit DryRunDuplicateFiles(MessageSink& sink) : sink_(sink) {}

    void CreateFolder(const std::string& path) override {
        // As mkdir would: an existing entry, or a parent that takes no new entry, fails.
        if (folders_.count(path) || platform::Exists(path))
            throw Failure(FailureKind::AccessFailure, path);
        platform::CheckCanCreateIn(FolderOf(path), path);
        folders_.insert(path);
    }

    ModelCheck CheckModel(const std::string& modelPath) override {
        TextFileReader model = Open(modelPath);
        return scene::CheckModel(model);
    }

    bool RepairModel(const std::string& modelPath, const std::function<void()>&) override {
        bool repaired = false;
        Told([&] {
            const std::string key = ResolveCase(modelPath);
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

    void WriteCopy(const std::string& modelPath, const std::string& copyPath,
                   const Placement& placement, std::string_view /*copyTag*/,
                   StepFailures& failures) override {
        StepFailures lines;
        Told([&] {
            TextFileReader model = Open(modelPath);
            CheckWouldWrite(copyPath);
            sink_.DryRunLine("would write " + copyPath + " from " + modelPath + " at " +
                             PlacementText(placement));
            CountCopyFailures(model, placement, lines);
        });
        for (int i = 0; i < lines.Count; ++i) {  // each point line is a failed step
            Tell(*lines.First);
            failures.Add(*lines.First);
        }
    }

    void CopyWritten(const std::string&) override {}

    void WriteFile(const std::string& path, std::string_view) override {
        Told([&] {
            CheckWouldWrite(path);
            sink_.DryRunLine("would write " + path);
        });
    }

  private:
    MessageSink& sink_;
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
        return it != repaired_.end() ? it->second : ReadWholeText(resolvedPath);
    }

    TextFileReader Open(const std::string& path) {
        auto it = repaired_.find(ResolveCase(path));
        if (it == repaired_.end()) return TextFileReader(path);
        return TextFileReader(it->first, it->second);
    }

    // Throws what opening the file for writing would; a folder this run would have created
    // takes any new file.
    void CheckWouldWrite(const std::string& path) {
        if (!folders_.count(FolderOf(path))) CheckCanWrite(path);
    }
};

}  // namespace

std::unique_ptr<DuplicateFiles> DryRunFiles(MessageSink& sink) {
    return std::make_unique<DryRunDuplicateFiles>(sink);
}

}  // namespace scene
