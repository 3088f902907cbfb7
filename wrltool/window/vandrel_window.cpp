#include "vandrel_window.hpp"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <optional>
#include <vector>

#include "blank_title.hpp"
#include "client_area.hpp"
#include "desktop_conventions.hpp"
#include "drive_list.hpp"
#include "drive_navigation.hpp"
#include "duplicate.hpp"
#include "file_list.hpp"
#include "fix_wrls.hpp"
#include "folder_list.hpp"
#include "fonts.hpp"
#include "list_preview.hpp"
#include "make_control.hpp"
#include "messages.hpp"
#include "native_text.hpp"
#include "plan_duplicate.hpp"
#include "plan_link.hpp"
#include "preview_row.hpp"
#include "twips.hpp"
#include "user_guide.hpp"
#include "window_command.hpp"

namespace scene {

namespace {

// A centred heading in a bold font.
QLabel* MakeHeading(QWidget* container, const char* name, int left, int top, int width, int height,
                    const char* text, const char* family, double points) {
    QLabel* label = MakeControl<QLabel>(container, name, left, top, width, height, text);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(ClassicFont(family, points, true));
    return label;
}

// A column: a frame (frames show no caption) with its heading at the top.
QGroupBox* MakeColumn(QWidget* container, const char* name, QRect twips, QLabel*& heading,
                      const char* headingName, int headingLeft, int headingWidth,
                      const char* text) {
    auto* frame = MakeControl<QGroupBox>(container, name, twips.x(), twips.y(), twips.width(),
                                         twips.height());
    heading =
        MakeHeading(frame, headingName, headingLeft, 360, headingWidth, 255, text, "Arial", 8.25);
    return frame;
}

// The drive, folder and file lists below a column's heading, linked; the file list shows the
// current folder's files that match `pattern`.
void MakeFolderLists(MessageSink& sink, QGroupBox* frame, const char* const (&names)[3],
                     int filesHeight, const char* pattern, DriveList*& drives, FolderList*& folders,
                     FileList*& files) {
    drives = MakeControl<DriveList>(frame, names[0], 360, 720, 3735, 315);
    folders = new FolderList(sink, frame);
    folders->setObjectName(names[1]);
    PlaceInTwips(*folders, 360, 1080, 3735, 1440);
    files = MakeControl<FileList>(frame, names[2], 360, 2520, 3735, filesHeight);
    files->SetPattern(pattern);
    RunReported(sink, [&] { files->SetPath(folders->Path()); });
    LinkColumn(*drives, *folders, *files, sink);
}

int Value(const QCheckBox* check) {
    return check->isChecked() ? 1 : 0;
}

std::string Text(const QLineEdit* field) {
    return NativeText(field->text());
}

std::vector<std::string> ListedNames(const FileList& files) {
    std::vector<std::string> names;
    for (int i = 0; i < files.ListCount(); ++i) names.push_back(files.List(i));
    return names;
}

}  // namespace

Vandrel::Vandrel(MessageSink& sink, QWidget* parent) : QWidget(parent), sink_(sink) {
    setObjectName("Vandrel");
    // A fixed single border: no minimise or maximise button, no resizing.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ShowBlankTitle(*this);
    // The window's default font, for which the controls' sizes are made.
    setFont(ClassicFont("MS Sans Serif", 8.25));
    client_ = new ClientArea(*this, 12405, 9675);
    QWidget* client = client_->Layout();

    Label1 = MakeHeading(client, "Label1", 2400, 240, 7575, 615, "WRL FIXER / VANDREL V3",
                         "MS Sans Serif", 24);

    CreateModelColumn();
    CreateSourceColumn();
    CreateListColumn();
    Command2 = MakeControl<QPushButton>(client, "Command2", 5160, 9120, 1695, 375, "Exit Vandrel");

    const std::vector<QWidget*> focusOrder = {
        WRLfolder, Dir1,  Drive1, Drive2, Dir2,  TSOfolder, Check1, Check3,   Text1,    Check2,
        Text2,     Text3, Text4,  Text5,  Text6, Check4,    List1,  Command3, Command2, Command1};
    for (size_t i = 1; i < focusOrder.size(); ++i) setTabOrder(focusOrder[i - 1], focusOrder[i]);

    ConnectHandlers();
    AddUserGuide(*this, "VandrelV3 user guide", "qrc:/guide/vandrel.md");
    LinkPlan();

    UseReadableRows(*List1);
    FitCaptions(*this);
    PressFocusedButtonWithEnter(*this);

    Form_Load();
    client_->FitIntoScreen();
}

void Vandrel::ConnectHandlers() {
    // A check box's handler runs whenever its value changes, after the change.
    connect(Check2, &QCheckBox::toggled, this, &Vandrel::Check2_Click);
    connect(Check4, &QCheckBox::toggled, this, &Vandrel::Check4_Click);
    connect(Command1, &QPushButton::clicked, this, &Vandrel::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Vandrel::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Vandrel::Command3_Click);
    connect(TSOfolder, &FileList::Click, this, &Vandrel::TSOfolder_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &Vandrel::ReloadLists);
}

// F6 and the lists' context menus: the plan of the run that Duplicate would start now.
void Vandrel::LinkPlan() {
    plan_ = new PlanLink(*this, sink_, "Plan of placements",
                         "Pick a list file, or set Manual Mode, to see the plan of placements.",
                         [this]() -> PlanJob {
                             DuplicateInputs inputs = GatherInputs();
                             if (!IsManualMode(inputs) && inputs.TSOfolderFileName.empty())
                                 return {};
                             return [inputs](std::stop_token stop) {
                                 return PlanDuplicate(inputs, stop);
                             };
                         });
    for (QCheckBox* check : {Check1, Check2, Check3, Check4})
        plan_->Follow(check, &QCheckBox::toggled);
    for (QLineEdit* field : {Text1, Text2, Text3, Text4, Text5, Text6})
        plan_->Follow(field, &QLineEdit::textChanged);
    for (FileList* files : {WRLfolder, TSOfolder}) {
        plan_->FollowList(*files);
        plan_->AddContextMenu(*files);
    }
    connect(plan_, &PlanLink::PlacementPicked, this, &Vandrel::ShowInPreview);
}

// In TSO list mode a placement picked in the plan is selected among the list's names.
void Vandrel::ShowInPreview(const PlannedPlacement& placement) {
    if (Value(Check2) == 1 || Value(Check4) == 1) return;
    std::vector<std::string> shown;
    for (int i = 0; i < List1->count(); ++i) shown.push_back(NativeText(List1->item(i)->text()));
    const int row = PreviewRow(shown, placement.Index, placement.Name);
    if (row < 0) return;
    List1->setCurrentRow(row);
    List1->scrollToItem(List1->item(row));
}

// Left column: the model folder, "Use selected WRL" and "Fix WRLs".
void Vandrel::CreateModelColumn() {
    Frame1 = MakeColumn(client_->Layout(), "Frame1", {240, 960, 4455, 7935}, Label2, "Label2", 1080,
                        2415, "SELECT WRL FOLDER");
    MakeFolderLists(sink_, Frame1, {"Drive1", "Dir1", "WRLfolder"}, 4185, "*.wrl", Drive1, Dir1,
                    WRLfolder);
    Check1 = MakeControl<QCheckBox>(Frame1, "Check1", 1440, 6840, 1695, 255, "Use selected WRL");
    Command1 = MakeControl<QPushButton>(Frame1, "Command1", 1560, 7320, 1335, 375, "Fix WRLs");
}

// Middle column: the placement source, the manual fields and the MGP settings.
void Vandrel::CreateSourceColumn() {
    Frame2 = MakeColumn(client_->Layout(), "Frame2", {4920, 960, 4455, 7935}, Label3, "Label3",
                        1200, 2175, "SELECT INSERT FILE");
    MakeFolderLists(sink_, Frame2, {"Drive2", "Dir2", "TSOfolder"}, 2625, "*.txt", Drive2, Dir2,
                    TSOfolder);

    Frame4 = MakeControl<QGroupBox>(Frame2, "Frame4", 360, 5160, 3735, 1455);
    Label5 = MakeControl<QLabel>(Frame4, "Label5", 1080, 120, 1695, 255, "Manual TSO Placement");
    Label6 = MakeControl<QLabel>(Frame4, "Label6", 120, 360, 255, 255, "X");
    Text3 = MakeControl<QLineEdit>(Frame4, "Text3", 480, 360, 855, 285, "0");
    Label7 = MakeControl<QLabel>(Frame4, "Label7", 120, 720, 255, 255, "Y");
    Text4 = MakeControl<QLineEdit>(Frame4, "Text4", 480, 720, 855, 285, "0");
    Label8 = MakeControl<QLabel>(Frame4, "Label8", 120, 1080, 255, 255, "Z");
    Text5 = MakeControl<QLineEdit>(Frame4, "Text5", 480, 1080, 855, 285, "0");
    Label9 = MakeControl<QLabel>(Frame4, "Label9", 1680, 360, 495, 255, "Name");
    Text2 = MakeControl<QLineEdit>(Frame4, "Text2", 2400, 360, 975, 285);
    Label10 = MakeControl<QLabel>(Frame4, "Label10", 1680, 720, 855, 255, "Orientation");
    Text6 = MakeControl<QLineEdit>(Frame4, "Text6", 2640, 720, 735, 285, "0");
    Check4 = MakeControl<QCheckBox>(Frame4, "Check4", 1560, 1080, 1815, 255, " Manual Mode");

    Frame3 = MakeControl<QGroupBox>(Frame2, "Frame3", 360, 6720, 3735, 975);
    Check2 = MakeControl<QCheckBox>(Frame3, "Check2", 1200, 240, 1455, 255, "Use MGP files");
    Text1 = MakeControl<QLineEdit>(Frame3, "Text1", 240, 600, 615, 285, "0");
    Label4 = MakeControl<QLabel>(Frame3, "Label4", 960, 600, 615, 255, "Degrees");
    Check3 = MakeControl<QCheckBox>(Frame3, "Check3", 1920, 600, 1575, 255, "Orientation Angle");
}

// Right column: the list file's names and "Duplicate".
void Vandrel::CreateListColumn() {
    Frame5 = MakeColumn(client_->Layout(), "Frame5", {9600, 960, 2535, 6855}, Label11, "Label11",
                        360, 1815, "LIST FILE CONTENTS");
    List1 = MakeControl<QListWidget>(Frame5, "List1", 360, 720, 1815, 5910);
    Frame6 = MakeControl<QGroupBox>(client_->Layout(), "Frame6", 9600, 7920, 2535, 975);
    Command3 = MakeControl<QPushButton>(Frame6, "Command3", 600, 360, 1335, 375, "Duplicate");
}

void Vandrel::Form_Load() {
    for (QLineEdit* field : {Text1, Text2, Text3, Text4, Text5, Text6}) field->setEnabled(false);
    for (QCheckBox* check : {Check1, Check2, Check3, Check4}) check->setChecked(false);
    Check3->setEnabled(false);
}

// "Use MGP files": values and texts stay as they are; a disabled Check3 keeps its value.
void Vandrel::Check2_Click() {
    if (Value(Check2) == 1) {
        Check4->setEnabled(false);
        SetSourcePattern("*.mgp");
        Text1->setEnabled(true);
        Check3->setEnabled(true);
    } else {
        SetSourcePattern("*.txt");
        Text1->setEnabled(false);
        Check3->setEnabled(false);
        Check4->setEnabled(true);
    }
}

// " Manual Mode": the five fields keep their texts.
void Vandrel::Check4_Click() {
    const bool manual = Value(Check4) == 1;
    Check2->setEnabled(!manual);
    for (QLineEdit* field : {Text2, Text3, Text4, Text5, Text6}) field->setEnabled(manual);
}

// A folder that can no longer be listed is reported; the mode change still completes.
void Vandrel::SetSourcePattern(const std::string& pattern) {
    RunReported(sink_, [&] { TSOfolder->SetPattern(pattern); });
}

// Every listed model, whatever is selected.
void Vandrel::Command1_Click() {
    RunWindowCommand(*this, sink_, "VandrelV3", [&](RunContext& run) {
        RunFixWrls(run, {WRLfolder->Path(), ListedNames(*WRLfolder)});
    });
}

void Vandrel::Command2_Click() {
    QCoreApplication::exit(0);
}

void Vandrel::Command3_Click() {
    RunWindowCommand(*this, sink_, "VandrelV3", [&](RunContext& run) {
        DuplicateOptions everyCore;
        everyCore.Jobs = 0;  // one copy per core at once
        RunDuplicate(run, GatherInputs(), everyCore);
    });
}

// What Duplicate reads from the controls, as they are now.
DuplicateInputs Vandrel::GatherInputs() const {
    DuplicateInputs inputs;
    inputs.Check1Value = Value(Check1);
    inputs.Check2Value = Value(Check2);
    inputs.Check3Value = Value(Check3);
    inputs.Check4Value = Value(Check4);
    inputs.Text1 = Text(Text1);
    inputs.Text2 = Text(Text2);
    inputs.Text3 = Text(Text3);
    inputs.Text4 = Text(Text4);
    inputs.Text5 = Text(Text5);
    inputs.Text6 = Text(Text6);
    inputs.WRLfolderPath = WRLfolder->Path();
    inputs.WRLfolderFileName = WRLfolder->FileName();
    inputs.WRLfolderList = ListedNames(*WRLfolder);
    inputs.TSOfolderPath = TSOfolder->Path();
    inputs.TSOfolderFileName = TSOfolder->FileName();
    return inputs;
}

// In MGP mode List1 keeps what it shows; otherwise it shows the selected list file's names.
void Vandrel::TSOfolder_Click() {
    RunReported(sink_, [&] {
        RunFiles files(platform::SystemFileSystem());
        std::optional<std::vector<std::string>> names = PreviewForSelection(
            Value(Check2) == 1, files, TSOfolder->Path(), TSOfolder->FileName(), sink_);
        if (!names) return;
        List1->clear();
        for (const std::string& name : *names) List1->addItem(ShownText(name));
    });
}

// F5: the commands leave the lists as they are; the user reads them again.
void Vandrel::ReloadLists() {
    ReloadColumn(*Drive1, *Dir1, *WRLfolder, sink_);
    ReloadColumn(*Drive2, *Dir2, *TSOfolder, sink_);
}

}  // namespace scene
