#include "preview_cli.hpp"

#include <iostream>
#include <memory>
#include <string>

#include "list_preview.hpp"
#include "paths.hpp"

namespace scene {

CliCommand AddPreviewCommand(CLI::App& program) {
    auto file = std::make_shared<std::string>();
    CLI::App* cmd =
        program.add_subcommand("preview", "Print the names of a TSO list file, one per line");
    cmd->add_option("FILE", *file, "The TSO list file")->required();
    cmd->footer("Example: vandrel-cli preview lists/village.txt");
    return {cmd, [file](MessageSink&) {
                for (const std::string& name : PreviewListFile(FolderOf(*file), NameOf(*file)))
                    std::cout << name << '\n';
            }};
}

}  // namespace scene
