// vandrel-cli: the WRL placement tool's commands without a window, for scripts.
#include "cli_program.hpp"
#include "duplicate_cli.hpp"
#include "fix_wrls_cli.hpp"
#include "plan_cli.hpp"
#include "preview_cli.hpp"

int main(int argc, char** argv) {
    using namespace scene;
    CLI::App program("The WRL placement tool's commands without a window.", "vandrel-cli");
    program.set_version_flag("--version", "vandrel-cli " SCENE_VERSION);
    return RunCliProgram(argc, argv, program, [](CLI::App& app) {
        return std::vector<CliCommand>{AddDuplicateCommand(app), AddFixWrlsCommand(app),
                                       AddPreviewCommand(app), AddPlanCommand(app)};
    });
}
