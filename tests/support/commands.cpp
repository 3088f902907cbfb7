#include "commands.hpp"

#include "messages.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

void RunDuplicate(const DuplicateInputs& inputs, MessageSink& sink,
                  const DuplicateOptions& options) {
    RunContext run(platform::SystemFileSystem(), sink);
    RunDuplicate(run, inputs, options);
}

void RunFixWrls(const FixInputs& inputs, MessageSink& sink) {
    RunContext run(platform::SystemFileSystem(), sink);
    RunFixWrls(run, inputs);
}

void GenerateCameraFile(const std::string& folder, const std::string& name, MessageSink& sink) {
    RunContext run(platform::SystemFileSystem(), sink);
    GenerateCameraFile(run, folder, name);
}

std::optional<FileCheckResult> CheckPointFile(const std::string& folder, const std::string& name,
                                              MessageSink& sink) {
    RunContext run(platform::SystemFileSystem(), sink);
    return CheckPointFile(run, folder, name);
}

std::vector<std::string> PreviewListFile(const std::string& folder, const std::string& name) {
    RunFiles files(platform::SystemFileSystem());
    return PreviewListFile(files, folder, name);
}

std::vector<Placement> ReadPlacements(const DuplicateInputs& inputs) {
    RunFiles files(platform::SystemFileSystem());
    return ReadPlacements(files, inputs).Placements;
}

std::vector<std::string> ListMatchingFiles(const std::string& folder, std::string_view pattern) {
    return ListMatchingFiles(platform::SystemFileSystem(), folder, pattern);
}

ModelCheck CheckModel(const std::string& modelPath) {
    RunFiles files(platform::SystemFileSystem());
    return CheckModel(*files.OpenForReading(modelPath));
}

bool RepairTexCoordBlocks(const std::string& modelPath) {
    RunFiles files(platform::SystemFileSystem());
    return RepairTexCoordBlocks(files, modelPath);
}

void WriteCopy(const std::string& modelPath, const std::string& copyPath,
               const Placement& placement, std::string_view copyTag, StepFailures& failures) {
    RunFiles files(platform::SystemFileSystem());
    TextFileReader in(files, modelPath);
    TextFileWriter out(files, copyPath, platform::Durability::Replaceable);
    WriteCopy(in, out, placement, copyTag, failures);
    out.Commit();
}

std::string ReadWholeText(const std::string& path) {
    RunFiles files(platform::SystemFileSystem());
    std::string text;
    ReadBlocks(*files.OpenForReading(path), 1 << 16, [&](std::string_view block) {
        text.append(block);
        return true;
    });
    return text;
}

}  // namespace scene
