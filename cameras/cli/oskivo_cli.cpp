// oskivo-cli: the camera file generator's commands without a window, for scripts.
#include <memory>
#include <string>

#include "camera_file.hpp"
#include "camera_plan.hpp"
#include "cli_program.hpp"
#include "file_check.hpp"
#include "path_syntax.hpp"
#include "plan_output.hpp"

namespace scene {

namespace {

CliCommand AddCheckCommand(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    CLI::App* check =
        app.add_subcommand("check", "Print the file name and the point count of a point file");
    check->add_option("FILE", *file, "the MGP point file")->required();
    check->footer("Example: oskivo-cli check scene/site.mgp");
    return {check, [file](CliSession& session) {
                RunContext run(platform::SystemFileSystem(), session.Messages);
                if (std::optional<FileCheckResult> shown =
                        CheckPointFile(run, FolderOf(*file), NameOf(*file))) {
                    session.Messages.PrintLine(shown->Text1);
                    session.Messages.PrintLine(shown->Cams);
                }
            }};
}

CliCommand AddGenerateCommand(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    CLI::App* generate =
        app.add_subcommand("generate", "Write the camera file beside a point file (NAME.txt)");
    auto replace = std::make_shared<bool>(false);
    generate->add_option("FILE", *file, "the MGP point file")->required();
    generate->add_flag("--replace", *replace,
                       "Replace NAME.txt also when it is not a camera file (a TSO list, say)");
    generate->footer("Example: oskivo-cli generate scene/site.mgp    (writes scene/site.txt)");
    return {generate, [file, replace](CliSession& session) {
                session.Messages.AnswerQuestions(*replace,
                                                 "Not a camera file: replaced only with --replace");
                RunContext run(platform::SystemFileSystem(), session.Messages);
                GenerateCameraFile(run, FolderOf(*file), NameOf(*file));
            }};
}

CliCommand AddPlanCommand(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    auto picture = std::make_shared<std::string>();
    CLI::App* plan = app.add_subcommand(
        "plan", "Show where the cameras of a point file start, writing nothing but a picture");
    plan->add_option("FILE", *file, "the MGP point file")->required();
    plan->add_option("-o", *picture, "The picture of the cameras")
        ->type_name("FILE.svg")
        ->required();
    plan->footer("Example: oskivo-cli plan scene/site.mgp -o site.svg");
    return {plan, [file, picture](CliSession& session) {
                PrintPlan(session, PlanCameraFile(FolderOf(*file), NameOf(*file)), *picture);
            }};
}

}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
    CLI::App program{"Checks MGP point files and writes their camera definition files.",
                     "oskivo-cli"};
    program.set_version_flag("--version", "oskivo-cli " SCENE_VERSION);
    return RunCliProgram(argc, argv, program, [](CLI::App& app) {
        return std::vector<CliCommand>{AddCheckCommand(app), AddGenerateCommand(app),
                                       AddPlanCommand(app)};
    });
}
