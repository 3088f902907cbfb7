#include "duplicate_files.hpp"

#include "platform.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

class RealDuplicateFiles : public DuplicateFiles {
  public:
    explicit RealDuplicateFiles(MessageSink& sink) : sink_(sink) {}

    void CreateFolder(const std::string& path) override { platform::CreateFolder(path); }

    ModelCheck CheckModel(const std::string& modelPath) override {
        return scene::CheckModel(modelPath);
    }

    bool RepairModel(const std::string& modelPath,
                     const std::function<void()>& beforeReplacing) override {
        if (!RepairTexCoordBlocks(modelPath, beforeReplacing)) return false;
        sink_.FileWritten(modelPath);
        return true;
    }

    void WriteCopy(const std::string& modelPath, const std::string& copyPath,
                   const Placement& placement, std::string_view copyTag,
                   StepFailures& failures) override {
        scene::WriteCopy(modelPath, copyPath, placement, copyTag, failures);
    }

    void CopyWritten(const std::string& copyPath) override { sink_.FileWritten(copyPath); }

    void WriteFile(const std::string& path, std::string_view text) override {
        TextFileWriter out(path, Durability::Replaceable);
        out.Write(text);
        out.Commit();
        sink_.FileWritten(path);
    }

  private:
    MessageSink& sink_;
};

}  // namespace

std::unique_ptr<DuplicateFiles> RealFiles(MessageSink& sink) {
    return std::make_unique<RealDuplicateFiles>(sink);
}

}  // namespace scene
