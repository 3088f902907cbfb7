#include "preview_cli.hpp"

#include <memory>
#include <string>

#include "list_preview.hpp"
#include "path_syntax.hpp"
#include "run_files.hpp"

namespace scene {

CliCommand AddPreviewCommand(CLI::App& program) {
    auto file = std::make_shared<std::string>();
    CLI::App* cmd =
        program.add_subcommand("preview", "Print the names of a TSO list file, one per line");
    cmd->add_option("FILE", *file, "The TSO list file")->required();
    cmd->footer("Example: vandrel-cli preview lists/village.txt");
    return {
        cmd, [file](CliSession& session) {
            RunFiles files(platform::SystemFileSystem());
            for (const std::string& name : PreviewListFile(files, FolderOf(*file), NameOf(*file)))
                session.Messages.PrintLine(name);
        }};
}

}  // namespace scene
