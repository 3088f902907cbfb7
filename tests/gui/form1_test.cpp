// The camera generator's window: its start state, the file check, "Create File" and the
// linked drive, folder and file lists.
#include "form1.hpp"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "drive_list.hpp"
#include "file_list.hpp"
#include "folder_list.hpp"
#include "test_files.hpp"
#include "twips.hpp"

namespace scene {

namespace fs = std::filesystem;

namespace {

class Form1Window : public ::testing::Test {
  protected:
    TempDir dir;
    std::string folder = fs::canonical(dir.Path()).string();
    std::string top = RootFolderOf(folder);  // the root folder of its drive
    fs::path previous = fs::current_path();
    RecordingSink sink;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        WriteBytes(dir / "site.mgp", CrLfLines({"number_points=1", "PointPos=(1,2,3)"}));
        WriteBytes(dir / "Big.MGP", CrLfLines({"number_points=40000"}));
        WriteBytes(dir / "bad.mgp", CrLfLines({"PointPos=(1,2,3)"}));
        WriteBytes(dir / "notes.txt", "");
        fs::create_directory(dir / "sub");
        WriteBytes(dir / "sub/inner.mgp", CrLfLines({"number_points=0"}));
        fs::current_path(folder);
        form = std::make_unique<Form1>(sink);
    }
    void TearDown() override { fs::current_path(previous); }

    template <typename T>
    T* Control(const char* name) {
        T* control = form->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString Text(const char* field) { return Control<QLineEdit>(field)->text(); }

    void Pick(const std::string& name) {
        FileList* files = Control<FileList>("CamFile");
        for (int i = 0; i < files->ListCount(); ++i)
            if (files->List(i) == name) files->setCurrentRow(i);
        ASSERT_EQ(files->FileName(), name);
    }
};

TEST_F(Form1Window, StartsAtTheCurrentFolder) {
    EXPECT_EQ(form->windowTitle(), "Form1");
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->size(), TwipsSize(*form, 5055, 9105));

    EXPECT_EQ(Control<FolderList>("Dir1")->Path(), folder);
    FileList* files = Control<FileList>("CamFile");
    EXPECT_EQ(files->Path(), folder);
    EXPECT_EQ(files->Pattern(), "*.mgp");
    ASSERT_EQ(files->ListCount(), 3);
    EXPECT_EQ(files->List(0), "bad.mgp");
    EXPECT_EQ(files->List(1), "Big.MGP");
    EXPECT_EQ(files->List(2), "site.mgp");
    EXPECT_EQ(files->FileName(), "");
    EXPECT_EQ(Text("Text1"), "");
    EXPECT_EQ(Text("Cams"), "");
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_TRUE(sink.Failures.empty());

    EXPECT_EQ(Control<QLabel>("Label1")->text(), "Camera File Generator");
    EXPECT_TRUE(Control<QLabel>("Label1")->font().bold());
    EXPECT_EQ(Control<QLabel>("Label2")->text(), "File : ");
    EXPECT_EQ(Control<QLabel>("Label3")->text(), "Cameras : ");
    EXPECT_EQ(Control<QPushButton>("Command1")->text(), "Create File");
    EXPECT_EQ(Control<QPushButton>("Command2")->text(), "Exit");
    const int dpiX = form->logicalDpiX(), dpiY = form->logicalDpiY();
    EXPECT_EQ(Control<QPushButton>("Command1")->geometry(),
              QRect(TwipsToPixels(1680, dpiX), TwipsToPixels(7200, dpiY), TwipsToPixels(1695, dpiX),
                    TwipsToPixels(255, dpiY)));

    // Focus moves by tab index; the labels are passed over.
    std::vector<QString> order;
    QWidget* w = Control<QWidget>("Drive1");
    for (int i = 0; i < 7; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty())
            w = w->nextInFocusChain();
        order.push_back(w->objectName());
    }
    EXPECT_EQ(order, (std::vector<QString>{"Drive1", "Dir1", "CamFile", "Text1", "Command1", "Cams",
                                           "Command2"}));
}

TEST_F(Form1Window, PickingAFileChecksIt) {
    Pick("site.mgp");
    EXPECT_EQ(Text("Text1"), "site.mgp");
    EXPECT_EQ(Text("Cams"), "1");

    // A failed check leaves both fields as they were.
    Pick("bad.mgp");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"wrong file contents"});
    Pick("Big.MGP");
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Number(), 6);
    EXPECT_EQ(Text("Text1"), "site.mgp");
    EXPECT_EQ(Text("Cams"), "1");
}

TEST_F(Form1Window, CreateFileWritesTheCameraFile) {
    Pick("site.mgp");
    QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Done"});
    std::string cameras = ReadBytes(dir / "site.txt");
    const std::string head = CrLfLines({"//////////CAMERAS///////////", "", "// Camera01"});
    EXPECT_EQ(cameras.substr(0, head.size()), head);
    EXPECT_NE(cameras.find("\r\n  Start=(-1,-2,-3)\r\n"), std::string::npos);

    // Nothing selected: the path names the folder, a run-time error, and the window goes on.
    Control<FileList>("CamFile")->SetPath(folder);
    QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Number(), 75);
}

TEST_F(Form1Window, DriveChangeGoesToTheRootFolder) {
    DriveList* drives = Control<DriveList>("Drive1");
    FolderList* folders = Control<FolderList>("Dir1");
    FileList* files = Control<FileList>("CamFile");
    // Two drives: the machine's root and the test folder standing in for a second one.
    drives->SetDrives({{top, top}, {"data", folder}}, folder);
    folders->SetPath(PathIn(folder, "sub"));
    EXPECT_EQ(files->Path(), PathIn(folder, "sub"));
    EXPECT_EQ(files->ListCount(), 1);

    drives->setCurrentIndex(0);
    EXPECT_EQ(folders->Path(), top);
    EXPECT_EQ(files->Path(), top);
    drives->setCurrentIndex(1);
    EXPECT_EQ(drives->Drive(), "data");
    EXPECT_EQ(folders->Path(), folder);
    EXPECT_EQ(files->Path(), folder);
    EXPECT_EQ(files->ListCount(), 3);
    EXPECT_TRUE(sink.Failures.empty());

    // A drive whose root cannot be listed: reported, and the lists stay where they were.
    drives->SetDrives({{top, top}, {"gone", PathIn(folder, "gone")}}, folder);
    drives->setCurrentIndex(1);
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Path(), PathIn(folder, "gone"));
    EXPECT_EQ(folders->Path(), folder);
    EXPECT_EQ(files->Path(), folder);
    // The drive list turns back to the lists' drive, so the drive can be chosen again.
    EXPECT_EQ(drives->Drive(), top);
    drives->setCurrentIndex(1);
    EXPECT_EQ(sink.Failures.size(), 2u);
}

}  // namespace

}  // namespace scene
