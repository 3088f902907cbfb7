#include "source_options.hpp"

#include "paths.hpp"

namespace scene {

namespace {

// The source file's folder and name play the roles of the source file list's path and
// selection.
void SetSourceFile(DuplicateInputs& in, const std::string& file) {
    in.TSOfolderPath = FolderOf(file);
    in.TSOfolderFileName = NameOf(file);
}

void SetManual(DuplicateInputs& in, const std::array<std::string, 5>& manual) {
    in.Check4Value = 1;
    in.Text2 = manual[0];
    in.Text3 = manual[1];
    in.Text4 = manual[2];
    in.Text5 = manual[3];
    in.Text6 = manual[4];
}

}  // namespace

void AddSourceOptions(CLI::App& cmd, SourceOptions& options) {
    cmd.add_option("--models", options.Models, "The model folder (its *.wrl files)")
        ->type_name("DIR")
        ->required();
    options.SelectedOption = cmd.add_option("--use-selected", options.Selected,
                                            "Make every copy from this model file of the folder")
                                 ->type_name("NAME");
    CLI::Option_group* source = cmd.add_option_group("source", "Where the placements come from");
    source->add_option("--tso", options.Tso, "A TSO list file")->type_name("FILE");
    options.MgpOption =
        source->add_option("--mgp", options.Mgp, "An MGP point file")->type_name("FILE");
    // A fixed-size type makes CLI11 take the five words as given. A growable one takes the
    // first, then stops at any word it recognises, and "" names the nameless option group.
    options.ManualOption =
        source->add_option("--manual", options.Manual, "One placement typed in: NAME X Y Z ORIENT")
            ->type_name("NAME X Y Z ORIENT");
    source->require_option(1);
    options.OrientationOption =
        cmd.add_option("--orientation", options.Orientation,
                       "With --mgp: every placement takes this orientation (degrees)")
            ->type_name("DEG")
            ->needs(options.MgpOption);
}

DuplicateInputs ToInputs(platform::FileSystem& files, const SourceOptions& options) {
    DuplicateInputs in;
    in.WRLfolderPath = options.Models;
    in.WRLfolderList = ListMatchingFiles(files, options.Models, "*.wrl");
    if (*options.SelectedOption) {
        in.Check1Value = 1;
        in.WRLfolderFileName = options.Selected;
    }
    if (*options.ManualOption) {
        SetManual(in, options.Manual);
    } else if (*options.MgpOption) {
        in.Check2Value = 1;
        SetSourceFile(in, options.Mgp);
        if (*options.OrientationOption) {
            in.Check3Value = 1;
            in.Text1 = options.Orientation;
        }
    } else {
        SetSourceFile(in, options.Tso);
    }
    return in;
}

}  // namespace scene
