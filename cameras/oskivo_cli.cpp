// oskivo-cli: the camera file generator's commands without a window, for scripts.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <string>

#include "camera_file.hpp"
#include "console_sink.hpp"
#include "file_check.hpp"
#include "interrupt.hpp"
#include "parse_arguments.hpp"
#include "paths.hpp"
#include "platform.hpp"

namespace {

// No one answers questions on the command line: a file that is not a camera file is replaced
// with --replace only; without it the answer is no, told as a problem message.
class GenerateSink : public scene::ConsoleSink {
  public:
    explicit GenerateSink(bool replace)
        : ConsoleSink(std::cout, std::cerr, scene::platform::IsTerminal(stderr)),
          replace_(replace) {}

    bool AskYesNo(const std::string& /*question*/, const std::string& detail) override {
        if (!replace_) ShowFileProblem("Not a camera file: replaced only with --replace", detail);
        return replace_;
    }

  private:
    bool replace_;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace scene;
    EndProgramOnInterrupt();
    CLI::App app{"Checks MGP point files and writes their camera definition files.", "oskivo-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "oskivo-cli " SCENE_VERSION);
    std::string file;
    CLI::App* check =
        app.add_subcommand("check", "Print the file name and the point count of a point file");
    check->add_option("FILE", file, "the MGP point file")->required();
    CLI::App* generate =
        app.add_subcommand("generate", "Write the camera file beside a point file (NAME.txt)");
    generate->add_option("FILE", file, "the MGP point file")->required();
    bool replace = false;
    generate->add_flag("--replace", replace,
                       "Replace NAME.txt also when it is not a camera file (a TSO list, say)");
    check->footer("Example: oskivo-cli check scene/site.mgp");
    generate->footer("Example: oskivo-cli generate scene/site.mgp    (writes scene/site.txt)");

    if (std::optional<int> status = ParseArguments(app, argc, argv)) return *status;

    GenerateSink sink(replace);
    const std::string folder = FolderOf(file);
    const std::string name = NameOf(file);
    return RunReporting(sink, [&](MessageSink& messages) {
        if (*check) {
            if (std::optional<FileCheckResult> shown = CheckPointFile(folder, name, messages))
                std::cout << shown->Text1 << '\n' << shown->Cams << '\n';
        } else if (*generate) {
            GenerateCameraFile(folder, name, messages);
        }
    });
}
