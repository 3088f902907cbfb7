#include "fix_wrls_cli.hpp"

#include <memory>
#include <string>

#include "fix_wrls.hpp"
#include "paths.hpp"

namespace scene {

CliCommand AddFixWrlsCommand(CLI::App& program) {
    auto folder = std::make_shared<std::string>();
    auto dryRun = std::make_shared<bool>(false);
    auto verbose = std::make_shared<bool>(false);
    CLI::App* cmd = program.add_subcommand(
        "fix-wrls", "Join the repeated blocks of every exporter-written model of DIR, in place");
    cmd->add_option("DIR", *folder, "The model folder (its *.wrl files)")->required();
    cmd->add_flag("--dry-run", *dryRun,
                  "Write nothing: print each model a run would rewrite, then the end message");
    cmd->add_flag("--verbose", *verbose, "After the messages, print \"wrote PATH\" per model");
    cmd->footer("Example: vandrel-cli fix-wrls --dry-run models/");
    return {cmd,
            [folder, dryRun](MessageSink& sink) {
                RunFixWrls({*folder, ListMatchingFiles(*folder, "*.wrl")}, sink, *dryRun);
            },
            verbose};
}

}  // namespace scene
