#include "duplicate_files.hpp"

#include <cstdio>

#include "run_folders.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

class RealDuplicateFiles : public DuplicateFiles {
  public:
    RealDuplicateFiles(MessageSink& sink, RunFolders& run) : sink_(sink), run_(run) {}

    void CreateFolder(const std::string& path) override { platform::CreateFolder(path); }

    CheckedModel CheckModel(const std::string& modelPath) override {
        std::optional<platform::FileStamp> stamp;
        const platform::FileHandle model = platform::OpenForReading(modelPath, &stamp);
        return {scene::CheckModel(model.get(), modelPath), stamp};
    }

    bool RepairModel(const std::string& modelPath) override {
        if (!RepairTexCoordBlocks(modelPath, &run_)) return false;
        sink_.FileWritten(modelPath);
        return true;
    }

    PreparedCopy PrepareCopy(const CopyOrder& order) override {
        PreparedCopy copy;
        copy.Index = order.Index;
        copy.ModelPath = order.ModelPath;
        copy.CopyPath = order.CopyPath;
        platform::FileHandle model;
        try {
            std::optional<platform::FileStamp> stamp;
            model = platform::OpenForReading(order.ModelPath, &stamp);
            if (stamp != order.ModelStamp) {
                // Not the file that was checked: the copy checks what it opened.
                const ModelCheck check = scene::CheckModel(model.get(), order.ModelPath);
                if (!IsCopyable(check))
                    copy.State = PreparedCopy::Outcome::ModelInvalid;
                else if (check.DefCount >= 2)
                    copy.State = PreparedCopy::Outcome::ModelNeedsRepair;
                if (copy.State != PreparedCopy::Outcome::Written) return copy;
                std::rewind(model.get());
            }
        } catch (const Failure& failure) {  // a model that cannot be read counts as invalid
            copy.State = PreparedCopy::Outcome::ModelInvalid;
            copy.ModelFailure = failure;
            return copy;
        }
        try {
            copy.Copy =
                std::make_unique<TextFileWriter>(order.CopyPath, Durability::Replaceable, &run_);
            TextFileReader in(order.ModelPath, model.get());
            WriteCopy(in, *copy.Copy, *order.Place, order.Tag, copy.Failures);
            copy.Copy->Flush();
        } catch (const Failure& failure) {
            copy.Copy.reset();  // its temporary file goes
            copy.State = PreparedCopy::Outcome::Failed;
            copy.Failures.Add(failure);
        }
        return copy;
    }

    void Commit(PreparedCopy& copy) override {
        copy.Copy->Commit();
        sink_.FileWritten(copy.CopyPath);
    }

    void WriteFile(const std::string& path, std::string_view text) override {
        TextFileWriter out(path, Durability::Replaceable, &run_);
        out.Write(text);
        out.Commit();
        sink_.FileWritten(path);
    }

  private:
    MessageSink& sink_;
    RunFolders& run_;
};

}  // namespace

std::unique_ptr<DuplicateFiles> RealFiles(MessageSink& sink, RunFolders& run) {
    return std::make_unique<RealDuplicateFiles>(sink, run);
}

}  // namespace scene
