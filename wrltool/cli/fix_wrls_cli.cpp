#include "fix_wrls_cli.hpp"

#include <memory>
#include <string>

#include "fix_wrls.hpp"
#include "paths.hpp"

namespace scene {

namespace {
struct FixArgs {
    std::string Folder;
    bool DryRun = false;
    bool Verbose = false;
};
}  // namespace

CliCommand AddFixWrlsCommand(CLI::App& program) {
    auto args = std::make_shared<FixArgs>();
    CLI::App* cmd = program.add_subcommand(
        "fix-wrls", "Join the repeated blocks of every exporter-written model of DIR, in place");
    cmd->add_option("DIR", args->Folder, "The model folder (its *.wrl files)")->required();
    cmd->add_flag("--dry-run", args->DryRun,
                  "Write nothing: print each model a run would rewrite, then the end message");
    cmd->add_flag("--verbose", args->Verbose, "After the messages, print \"wrote PATH\" per model");
    cmd->footer("Example: vandrel-cli fix-wrls --dry-run models/");
    return {cmd, [args](CliSession& session) {
                platform::FileSystem& files =
                    session.Files(args->DryRun, args->Verbose, "would rewrite ");
                RunContext run(files, session.Messages, {}, session.Messages, session.Record);
                RunFixWrls(run, {args->Folder, ListMatchingFiles(files, args->Folder, "*.wrl")});
            }};
}

}  // namespace scene
