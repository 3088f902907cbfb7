#include "duplicate_cli.hpp"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "duplicate.hpp"
#include "paths.hpp"
#include "scene_index.hpp"

namespace scene {

namespace {

struct DuplicateArgs {
    std::string Models;
    std::string Selected;
    std::string Tso;
    std::string Mgp;
    std::string Orientation;
    std::array<std::string, 5> Manual;       // NAME X Y Z ORIENT
    DuplicateOptions Options{false, {}, 0};  // jobs 0: one per core
    CLI::Option* SelectedOption = nullptr;
    CLI::Option* MgpOption = nullptr;
    CLI::Option* OrientationOption = nullptr;
    CLI::Option* ManualOption = nullptr;
};

// The source file's folder and name play the roles of the source file list's path and
// selection.
void SetSourceFile(DuplicateInputs& in, const std::string& file) {
    in.TSOfolderPath = FolderOf(file);
    in.TSOfolderFileName = NameOf(file);
}

// The control values the window would hold; listing the model folder may fail.
DuplicateInputs ToInputs(const DuplicateArgs& args) {
    DuplicateInputs in;
    in.WRLfolderPath = args.Models;
    in.WRLfolderList = ListMatchingFiles(args.Models, "*.wrl");
    if (*args.SelectedOption) {
        in.Check1Value = 1;
        in.WRLfolderFileName = args.Selected;
    }
    if (*args.ManualOption) {
        in.Check4Value = 1;
        in.Text2 = args.Manual[0];
        in.Text3 = args.Manual[1];
        in.Text4 = args.Manual[2];
        in.Text5 = args.Manual[3];
        in.Text6 = args.Manual[4];
    } else if (*args.MgpOption) {
        in.Check2Value = 1;
        SetSourceFile(in, args.Mgp);
        if (*args.OrientationOption) {
            in.Check3Value = 1;
            in.Text1 = args.Orientation;
        }
    } else {
        SetSourceFile(in, args.Tso);
    }
    return in;
}

}  // namespace

CliCommand AddDuplicateCommand(CLI::App& program) {
    auto args = std::make_shared<DuplicateArgs>();
    CLI::App* cmd = program.add_subcommand(
        "duplicate", "Write a placed copy of a model into DIR/newwrls for every placement");
    cmd->add_option("--models", args->Models, "The model folder (its *.wrl files)")
        ->type_name("DIR")
        ->required();
    args->SelectedOption = cmd->add_option("--use-selected", args->Selected,
                                           "Make every copy from this model file of the folder")
                               ->type_name("NAME");

    CLI::Option_group* source = cmd->add_option_group("source", "Where the placements come from");
    source->add_option("--tso", args->Tso, "A TSO list file")->type_name("FILE");
    args->MgpOption =
        source->add_option("--mgp", args->Mgp, "An MGP point file")->type_name("FILE");
    // A fixed-size type makes CLI11 take the five words as given. A growable one takes the
    // first, then stops at any word it recognises, and "" names the nameless option group.
    args->ManualOption =
        source->add_option("--manual", args->Manual, "One placement typed in: NAME X Y Z ORIENT")
            ->type_name("NAME X Y Z ORIENT");
    source->require_option(1);
    cmd->footer(
        "Usage: vandrel-cli duplicate --models DIR [--use-selected NAME] [--jobs N]\n"
        "           (--tso FILE | --mgp FILE [--orientation DEG] | --manual NAME X Y Z ORIENT)\n"
        "           [--scene NAME] [--dry-run] [--verbose]\n"
        "Exit status: 0 done, 1 a problem message was shown, 2 wrong usage, 3 run-time error.\n"
        "Example: vandrel-cli duplicate --models scene/models --tso scene/village.txt\n"
        "         vandrel-cli duplicate --dry-run --models scene/models --tso scene/village.txt");

    cmd->add_option("--scene", args->Options.SceneName,
                    "Also write DIR/newwrls/NAME.wrl, inlining every copy the run wrote")
        ->type_name("NAME")
        ->check([](const std::string& name) {
            const std::string problem = SceneNameProblem(name);
            return problem.empty() ? problem : "the scene NAME \"" + name + "\" " + problem;
        });
    cmd->add_flag("--dry-run", args->Options.DryRun,
                  "Write nothing: print each copy (path, model, placement), repair and failed "
                  "step a run would have, among its messages");

    args->OrientationOption =
        cmd->add_option("--orientation", args->Orientation,
                        "With --mgp: every placement takes this orientation (degrees)")
            ->type_name("DEG")
            ->needs(args->MgpOption);

    cmd->add_option("--jobs", args->Options.Jobs, "Copies written at once (default: one per core)")
        ->type_name("N")
        ->check(CLI::PositiveNumber);

    auto verbose = std::make_shared<bool>(false);
    cmd->add_flag("--verbose", *verbose,
                  "After the messages, print \"wrote PATH\" per file written or replaced");

    return {cmd, [args](MessageSink& sink) { RunDuplicate(ToInputs(*args), sink, args->Options); },
            verbose};
}

}  // namespace scene
