#include "duplicate_cli.hpp"

#include <memory>
#include <string>

#include "duplicate.hpp"
#include "scene_index.hpp"
#include "source_options.hpp"

namespace scene {

namespace {

struct DuplicateArgs {
    SourceOptions Source;
    DuplicateOptions Options{{}, 0};  // jobs 0: one per core
    bool DryRun = false;
    bool Verbose = false;
};

void AddRunOptions(CLI::App& cmd, DuplicateArgs& args) {
    cmd.add_option("--scene", args.Options.SceneName,
                   "Also write DIR/newwrls/NAME.wrl, inlining every copy the run wrote")
        ->type_name("NAME")
        ->check([](const std::string& name) {
            const std::string problem = SceneNameProblem(name);
            return problem.empty() ? problem : "the scene NAME \"" + name + "\" " + problem;
        });
    cmd.add_flag("--dry-run", args.DryRun,
                 "Write nothing: print each copy (path, model, placement), repair and failed "
                 "step a run would have, among its messages");
    cmd.add_option("--jobs", args.Options.Jobs, "Copies written at once (default: one per core)")
        ->type_name("N")
        ->check(CLI::PositiveNumber);
    cmd.add_flag("--verbose", args.Verbose,
                 "After the messages, print \"wrote PATH\" per file written or replaced");
}

}  // namespace

CliCommand AddDuplicateCommand(CLI::App& program) {
    auto args = std::make_shared<DuplicateArgs>();
    CLI::App* cmd = program.add_subcommand(
        "duplicate", "Write a placed copy of a model into DIR/newwrls for every placement");
    AddSourceOptions(*cmd, args->Source);
    AddRunOptions(*cmd, *args);
    cmd->footer(
        "Usage: vandrel-cli duplicate --models DIR [--use-selected NAME] [--jobs N]\n"
        "           (--tso FILE | --mgp FILE [--orientation DEG] | --manual NAME X Y Z ORIENT)\n"
        "           [--scene NAME] [--dry-run] [--verbose]\n"
        "Exit status: 0 done, 1 a problem message was shown, 2 wrong usage, 3 run-time error.\n"
        "Example: vandrel-cli duplicate --models scene/models --tso scene/village.txt\n"
        "         vandrel-cli duplicate --dry-run --models scene/models --tso scene/village.txt");
    return {cmd, [args](CliSession& session) {
                platform::FileSystem& files =
                    session.Files(args->DryRun, args->Verbose, "would write ");
                RunContext run(files, session.Messages, {}, session.Messages, session.Record);
                RunDuplicate(run, ToInputs(files, args->Source), args->Options);
            }};
}

}  // namespace scene
