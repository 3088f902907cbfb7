// The control values the Duplicate command reads, named after the controls that hold them.
// The defaults are the window's start state.
#pragma once

#include <string>
#include <vector>

namespace scene {

struct DuplicateInputs {
    int Check1Value = 0;  // "Use selected WRL": every copy is made from WRLfolderFileName
    int Check2Value = 0;  // "Use MGP files": placements from an MGP point file
    int Check3Value = 0;  // "Orientation Angle": MGP placements take Text1 as orientation
    int Check4Value = 0;  // " Manual Mode": one placement from Text2 to Text6

    std::string Text1 = "0";  // degrees for Check3
    std::string Text2;        // manual Name
    std::string Text3 = "0";  // manual X
    std::string Text4 = "0";  // manual Y
    std::string Text5 = "0";  // manual Z
    std::string Text6 = "0";  // manual Orientation

    std::string WRLfolderPath;
    std::string WRLfolderFileName;           // empty when no model is selected
    std::vector<std::string> WRLfolderList;  // the names the model file list shows

    std::string TSOfolderPath;
    std::string TSOfolderFileName;  // the TSO list or MGP point file; empty when none
};

// What the check boxes ask for. A check box value is 1 when set, 0 when clear.
inline bool UsesSelectedModel(const DuplicateInputs& inputs) {
    return inputs.Check1Value == 1;
}
inline bool UsesMgpFile(const DuplicateInputs& inputs) {
    return inputs.Check2Value == 1;
}
inline bool TakesOrientationAngle(const DuplicateInputs& inputs) {
    return inputs.Check3Value == 1;
}
inline bool IsManualMode(const DuplicateInputs& inputs) {
    return inputs.Check4Value == 1;
}

}  // namespace scene
