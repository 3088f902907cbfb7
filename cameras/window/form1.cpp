#include "form1.hpp"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "camera_file.hpp"
#include "camera_plan.hpp"
#include "client_area.hpp"
#include "desktop_conventions.hpp"
#include "drive_list.hpp"
#include "drive_navigation.hpp"
#include "file_check.hpp"
#include "file_list.hpp"
#include "folder_list.hpp"
#include "fonts.hpp"
#include "make_control.hpp"
#include "messages.hpp"
#include "native_text.hpp"
#include "plan_link.hpp"
#include "twips.hpp"
#include "user_guide.hpp"
#include "window_command.hpp"

namespace scene {

namespace {

// The two display fields: single-line, on the light grey of inactive window parts.
void GreyField(QLineEdit& field) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Inactive, QPalette::Window));
    field.setPalette(palette);
}

}  // namespace

Form1::Form1(MessageSink& sink, QWidget* parent) : QWidget(parent), sink_(sink) {
    setObjectName("Form1");
    setWindowTitle("Form1");
    // The controls' sizes are made for an 8-point window font.
    setFont(ClassicFont("MS Sans Serif", 8.25));
    client_ = new ClientArea(*this, 5055, 9105);
    CreateControls(client_->Layout());

    // Tab order by tab index; the labels take no focus.
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, CamFile);
    setTabOrder(CamFile, Text1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Cams);
    setTabOrder(Cams, Command2);

    connect(Drive1, &DriveList::Change, this, &Form1::Drive1_Change);
    connect(Dir1, &FolderList::Change, this, &Form1::Dir1_Change);
    connect(CamFile, &FileList::Click, this, &Form1::CamFile_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &Form1::ReloadLists);
    AddUserGuide(*this, "Oskivo user guide", "qrc:/guide/oskivo.md");
    LinkPlan();

    FitCaptions(*this);
    PressFocusedButtonWithEnter(*this);
    client_->FitIntoScreen(false);  // where the system puts it, when it fits
}

void Form1::CreateControls(QWidget* client) {
    Label1 = MakeControl<QLabel>(client, "Label1", 240, 120, 4335, 255, "Camera File Generator");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(ClassicFont("Arial", 12, true));

    Drive1 = MakeControl<DriveList>(client, "Drive1", 960, 840, 3135, 315);
    Dir1 = new FolderList(sink_, client);
    Dir1->setObjectName("Dir1");
    PlaceInTwips(*Dir1, 960, 1320, 3135, 1890);
    CamFile = MakeControl<FileList>(client, "CamFile", 960, 3360, 3135, 2235);
    CamFile->SetPattern("*.mgp");
    RunReported(sink_, [&] { CamFile->SetPath(Dir1->Path()); });

    Label2 = MakeControl<QLabel>(client, "Label2", 1320, 5880, 495, 255, "File : ");
    Text1 = MakeControl<QLineEdit>(client, "Text1", 1800, 5880, 2055, 285);
    GreyField(*Text1);
    Label3 = MakeControl<QLabel>(client, "Label3", 1320, 6360, 735, 255, "Cameras : ");
    Cams = MakeControl<QLineEdit>(client, "Cams", 2160, 6360, 1815, 285);
    GreyField(*Cams);

    Command1 = MakeControl<QPushButton>(client, "Command1", 1680, 7200, 1695, 255, "Create File");
    Command2 = MakeControl<QPushButton>(client, "Command2", 1680, 7800, 1695, 255, "Exit");
}

// F6 and the point file list's context menu: the cameras of the picked point file.
void Form1::LinkPlan() {
    auto* plan =
        new PlanLink(*this, sink_, "Plan of cameras",
                     "Pick a point file to see where its cameras start.", [this]() -> PlanJob {
                         std::string folder = CamFile->Path(), name = CamFile->FileName();
                         if (name.empty()) return {};
                         return [folder, name](std::stop_token stop) {
                             return PlanCameraFile(folder, name, stop);
                         };
                     });
    plan->FollowList(*CamFile);
    plan->AddContextMenu(*CamFile);
}

void Form1::Drive1_Change() {
    GoToDriveRoot(*Drive1, *Dir1, sink_);
}

void Form1::Dir1_Change() {
    RunReported(sink_, [&] { CamFile->SetPath(Dir1->Path()); });
}

// The fields change only when the picked file passes the check.
void Form1::CamFile_Click() {
    RunReported(sink_, [&] {
        RunContext run(platform::SystemFileSystem(), sink_);
        std::optional<FileCheckResult> shown =
            CheckPointFile(run, CamFile->Path(), CamFile->FileName());
        if (!shown) return;
        Text1->setText(ShownText(shown->Text1));
        Cams->setText(ShownText(shown->Cams));
    });
}

// Uses the file list's selection, not the two fields.
void Form1::Command1_Click() {
    RunReported(sink_, [&] {
        RunContext run(platform::SystemFileSystem(), sink_);
        GenerateCameraFile(run, CamFile->Path(), CamFile->FileName());
    });
}

void Form1::Command2_Click() {
    QCoreApplication::exit(0);
}

// F5: the lists as the disk has them now.
void Form1::ReloadLists() {
    ReloadColumn(*Drive1, *Dir1, *CamFile, sink_);
}

}  // namespace scene
