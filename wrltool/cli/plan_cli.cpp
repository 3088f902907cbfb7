#include "plan_cli.hpp"

#include <memory>
#include <string>

#include "plan_duplicate.hpp"
#include "plan_output.hpp"
#include "source_options.hpp"

namespace scene {

namespace {
struct PlanArgs {
    SourceOptions Source;
    std::string Picture;
};
}  // namespace

CliCommand AddPlanCommand(CLI::App& program) {
    auto args = std::make_shared<PlanArgs>();
    CLI::App* cmd = program.add_subcommand(
        "plan", "Show what a duplicate run would do, writing nothing but its picture (SVG)");
    AddSourceOptions(*cmd, args->Source);
    cmd->add_option("-o", args->Picture, "The picture of the placements")
        ->type_name("FILE.svg")
        ->required();
    cmd->footer(
        "Prints one line per problem (\"line N: TEXT\"), then a count per kind; exits as\n"
        "duplicate --dry-run would.\n"
        "Example: vandrel-cli plan --models scene/models --tso scene/village.txt -o village.svg");
    return {cmd, [args](CliSession& session) {
                const Plan plan =
                    PlanDuplicate(ToInputs(platform::SystemFileSystem(), args->Source));
                PrintPlan(session, plan, args->Picture);
            }};
}

}  // namespace scene
