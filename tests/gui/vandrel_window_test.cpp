// The WRL placement tool's window: its layout and start state, the three placement modes, the
// linked lists, the preview, the two commands driven through the controls, and failures that
// leave the window working.
#include "vandrel_window.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>

#include "client_area.hpp"
#include "commands.hpp"
#include "desktop_conventions.hpp"
#include "drive_list.hpp"
#include "duplicate.hpp"
#include "file_list.hpp"
#include "fix_wrls.hpp"
#include "folder_list.hpp"
#include "paths.hpp"
#include "qt_message_sink.hpp"
#include "test_files.hpp"
#include "twips.hpp"

namespace scene {

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// A converter model with one renamable node and one point, 1 2 3.
std::string OneNodeModel(const std::string& node) {
    return CrLfLines({std::string(kConverterHeader), "      DEF VRL_" + node + "_vrl Transform {",
                      "  coord DEF COORD Coordinate {", "    point [", "      1 2 3,", "    ]",
                      "}"});
}

class VandrelWindow : public ::testing::Test {
  protected:
    TempDir dir;
    std::string root = fs::canonical(dir.Path()).string();
    std::string top = RootFolderOf(root);  // the root folder of its drive
    std::string models = PathIn(root, "models");
    std::string lists = PathIn(root, "lists");
    fs::path previous = fs::current_path();
    RecordingSink sink;
    std::unique_ptr<Vandrel> form;

    void SetUp() override {
        for (const std::string& folder : {models, lists, PathIn(root, "reference")}) {
            fs::create_directory(folder);
            if (folder == lists) continue;
            WriteBytes(PathIn(folder, "house.wrl"), OneNodeModel("house"));
            WriteBytes(PathIn(folder, "tower.wrl"), OneNodeModel("tower"));
        }
        WriteBytes(PathIn(models, "Plan.TXT"), "");
        WriteBytes(PathIn(models, "notes.txt"), "");
        WriteBytes(PathIn(lists, "village.txt"),
                   CrLfLines({"house,10,2,5,0,0,0", "/ comment,0,0,0,0,0,0", "house,0,0,0,0,0,0"}));
        WriteBytes(PathIn(lists, "other.txt"), CrLfLines({"tower,0,0,0,0,0,0"}));
        WriteBytes(PathIn(lists, "site.mgp"),
                   CrLfLines({"number_points=2", "PointPos=(10,0,0)", "PointPos=(0,0,5)"}));
        fs::current_path(models);
        form = std::make_unique<Vandrel>(sink);
    }
    void TearDown() override { fs::current_path(previous); }

    template <typename T>
    T* Control(const char* name) {
        T* control = form->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QCheckBox* Check(const char* name) { return Control<QCheckBox>(name); }
    QLineEdit* Field(const char* name) { return Control<QLineEdit>(name); }
    FileList* Files(const char* name) { return Control<FileList>(name); }

    // A click on the box of a check box, as the user makes it.
    void ClickBox(const char* name) {
        QCheckBox* check = Check(name);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    }
    void Press(const char* button) {
        QTest::mouseClick(Control<QPushButton>(button), Qt::LeftButton);
    }
    // The user opens the lists folder in the middle column.
    void OpenLists() { Control<FolderList>("Dir2")->SetPath(lists); }
    void Pick(const char* list, const std::string& name) {
        FileList* files = Files(list);
        for (int i = 0; i < files->ListCount(); ++i)
            if (files->List(i) == name) files->setCurrentRow(i);
        ASSERT_EQ(files->FileName(), name);
    }
    Lines Listed(const char* list) {
        Lines names;
        for (int i = 0; i < Files(list)->ListCount(); ++i) names.push_back(Files(list)->List(i));
        return names;
    }
    Lines Shown() {
        QListWidget* list = Control<QListWidget>("List1");
        Lines names;
        for (int i = 0; i < list->count(); ++i)
            names.push_back(list->item(i)->text().toStdString());
        return names;
    }
    std::vector<bool> Enabled(std::initializer_list<const char*> names) {
        std::vector<bool> enabled;
        for (const char* name : names) enabled.push_back(Control<QWidget>(name)->isEnabled());
        return enabled;
    }

    // The copies the window wrote equal those of the command run without a window on a model
    // folder of the same models.
    void ExpectCopiesOfTheCommand(DuplicateInputs in, const Lines& copies) {
        in.WRLfolderPath = PathIn(root, "reference");
        in.WRLfolderList = ListMatchingFiles(in.WRLfolderPath, "*.wrl");
        RecordingSink reference;
        RunDuplicate(in, reference);
        EXPECT_EQ(sink.Texts(), Lines{"DONE"});
        EXPECT_EQ(sink.Texts(), reference.Texts());
        ASSERT_EQ(FolderEntries(PathIn(models, "newwrls")), copies);
        ASSERT_EQ(FolderEntries(PathIn(in.WRLfolderPath, "newwrls")), copies);
        for (const std::string& copy : copies)
            EXPECT_EQ(ReadBytes(PathIn(models, "newwrls/" + copy)),
                      ReadBytes(PathIn(in.WRLfolderPath, "newwrls/" + copy)))
                << copy;
    }
};

// The message boxes shown meanwhile: caption, text and icon of each, closed with OK at once.
struct ShownBoxes : QObject {
    struct Box {
        QString Title, Text;
        QMessageBox::Icon Icon;
    };
    std::vector<Box> Boxes;
    ShownBoxes() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(object);
        if (box && event->type() == QEvent::Show) {
            Boxes.push_back({box->windowTitle(), box->text(), box->icon()});
            QTimer::singleShot(0, box, &QMessageBox::accept);
        }
        return false;
    }
};

struct Layout {
    const char* Name;
    const char* Kind;
    const char* Container;
    int Left, Top, Width, Height;
    const char* Text;
};

const Layout kLayout[] = {
    {"Label1", "label", "ClientArea", 2400, 240, 7575, 615, "WRL FIXER / VANDREL V3"},
    {"Frame1", "frame", "ClientArea", 240, 960, 4455, 7935, ""},
    {"Label2", "label", "Frame1", 1080, 360, 2415, 255, "SELECT WRL FOLDER"},
    {"Drive1", "drives", "Frame1", 360, 720, 3735, 315, ""},
    {"Dir1", "folders", "Frame1", 360, 1080, 3735, 1440, ""},
    {"WRLfolder", "files", "Frame1", 360, 2520, 3735, 4185, ""},
    {"Check1", "check", "Frame1", 1440, 6840, 1695, 255, "Use selected WRL"},
    {"Command1", "button", "Frame1", 1560, 7320, 1335, 375, "Fix WRLs"},
    {"Frame2", "frame", "ClientArea", 4920, 960, 4455, 7935, ""},
    {"Label3", "label", "Frame2", 1200, 360, 2175, 255, "SELECT INSERT FILE"},
    {"Drive2", "drives", "Frame2", 360, 720, 3735, 315, ""},
    {"Dir2", "folders", "Frame2", 360, 1080, 3735, 1440, ""},
    {"TSOfolder", "files", "Frame2", 360, 2520, 3735, 2625, ""},
    {"Frame4", "frame", "Frame2", 360, 5160, 3735, 1455, ""},
    {"Label5", "label", "Frame4", 1080, 120, 1695, 255, "Manual TSO Placement"},
    {"Label6", "label", "Frame4", 120, 360, 255, 255, "X"},
    {"Text3", "text", "Frame4", 480, 360, 855, 285, "0"},
    {"Label7", "label", "Frame4", 120, 720, 255, 255, "Y"},
    {"Text4", "text", "Frame4", 480, 720, 855, 285, "0"},
    {"Label8", "label", "Frame4", 120, 1080, 255, 255, "Z"},
    {"Text5", "text", "Frame4", 480, 1080, 855, 285, "0"},
    {"Label9", "label", "Frame4", 1680, 360, 495, 255, "Name"},
    {"Text2", "text", "Frame4", 2400, 360, 975, 285, ""},
    {"Label10", "label", "Frame4", 1680, 720, 855, 255, "Orientation"},
    {"Text6", "text", "Frame4", 2640, 720, 735, 285, "0"},
    {"Check4", "check", "Frame4", 1560, 1080, 1815, 255, " Manual Mode"},
    {"Frame3", "frame", "Frame2", 360, 6720, 3735, 975, ""},
    {"Check2", "check", "Frame3", 1200, 240, 1455, 255, "Use MGP files"},
    {"Text1", "text", "Frame3", 240, 600, 615, 285, "0"},
    {"Label4", "label", "Frame3", 960, 600, 615, 255, "Degrees"},
    {"Check3", "check", "Frame3", 1920, 600, 1575, 255, "Orientation Angle"},
    {"Frame5", "frame", "ClientArea", 9600, 960, 2535, 6855, ""},
    {"Label11", "label", "Frame5", 360, 360, 1815, 255, "LIST FILE CONTENTS"},
    {"List1", "list", "Frame5", 360, 720, 1815, 5910, ""},
    {"Frame6", "frame", "ClientArea", 9600, 7920, 2535, 975, ""},
    {"Command3", "button", "Frame6", 600, 360, 1335, 375, "Duplicate"},
    {"Command2", "button", "ClientArea", 5160, 9120, 1695, 375, "Exit Vandrel"},
};

// The caption or text a control shows, when its kind has one.
QString ShownTextOf(QWidget* control, const std::string& kind) {
    if (kind == "label") return qobject_cast<QLabel*>(control)->text();
    if (kind == "frame") return qobject_cast<QGroupBox*>(control)->title();
    if (kind == "check") return qobject_cast<QCheckBox*>(control)->text();
    if (kind == "button") return qobject_cast<QPushButton*>(control)->text();
    if (kind == "text") return qobject_cast<QLineEdit*>(control)->text();
    return {};
}

bool IsKind(QWidget* control, const std::string& kind) {
    if (kind == "label") return qobject_cast<QLabel*>(control);
    if (kind == "frame") return qobject_cast<QGroupBox*>(control);
    if (kind == "drives") return qobject_cast<DriveList*>(control);
    if (kind == "folders") return qobject_cast<FolderList*>(control);
    if (kind == "files") return qobject_cast<FileList*>(control);
    if (kind == "check") return qobject_cast<QCheckBox*>(control);
    if (kind == "button") return qobject_cast<QPushButton*>(control);
    if (kind == "text") return qobject_cast<QLineEdit*>(control);
    if (kind == "list") return qobject_cast<QListWidget*>(control);
    return false;
}

TEST_F(VandrelWindow, LayoutFontsAndFocusOrder) {
    EXPECT_EQ(form->windowTitle(), "");
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->size(), TwipsSize(*form, 12405, 9675));
    EXPECT_FALSE(form->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->geometry().center() - centre).manhattanLength(), 1);

    const int dpiX = form->logicalDpiX(), dpiY = form->logicalDpiY();
    for (const Layout& c : kLayout) {
        SCOPED_TRACE(c.Name);
        QWidget* control = Control<QWidget>(c.Name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(IsKind(control, c.Kind));
        EXPECT_EQ(control->parentWidget()->objectName(), c.Container);
        const QRect laidOut(TwipsToPixels(c.Left, dpiX), TwipsToPixels(c.Top, dpiY),
                            TwipsToPixels(c.Width, dpiX), TwipsToPixels(c.Height, dpiY));
        // A caption too wide at 8 points widens its control on its line (FitCaptions).
        if (CaptionWidth(*control) > laidOut.width()) {
            EXPECT_TRUE(control->geometry().contains(laidOut));
            EXPECT_EQ(control->geometry().top(), laidOut.top());
        } else {
            EXPECT_EQ(control->geometry(), laidOut);
        }
        EXPECT_EQ(ShownTextOf(control, c.Kind), c.Text);
        EXPECT_TRUE(control->isVisibleTo(form.get()));
    }
    EXPECT_EQ(Files("WRLfolder")->Pattern(), "*.wrl");

    QFont title = Control<QLabel>("Label1")->font();
    EXPECT_EQ(title.family(), "MS Sans Serif");
    EXPECT_EQ(title.pointSizeF(), 24);
    EXPECT_TRUE(title.bold());
    for (const char* heading : {"Label1", "Label2", "Label3", "Label11"})
        EXPECT_EQ(Control<QLabel>(heading)->alignment(), Qt::AlignCenter) << heading;
    for (const char* heading : {"Label2", "Label3", "Label11"}) {
        QFont font = Control<QLabel>(heading)->font();
        EXPECT_EQ(font.family(), "Arial");
        EXPECT_EQ(font.pointSizeF(), 8.25);
        EXPECT_TRUE(font.bold());
    }
    // Captions keep the window's font family; a size shrinks only where the caption needs it.
    for (const char* caption : {"Label5", "Check4"}) {
        EXPECT_EQ(Control<QWidget>(caption)->font().family(), form->font().family());
        EXPECT_LE(Control<QWidget>(caption)->font().pointSizeF(), form->font().pointSizeF());
    }

    // Focus moves by tab index; labels and frames take none.
    Lines order;
    QWidget* w = Control<QWidget>("WRLfolder");
    for (int i = 0; i < 21; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty())
            w = w->nextInFocusChain();
        order.push_back(w->objectName().toStdString());
    }
    EXPECT_EQ(order, (Lines{"WRLfolder", "Dir1",     "Drive1",   "Drive2", "Dir2",  "TSOfolder",
                            "Check1",    "Check3",   "Text1",    "Check2", "Text2", "Text3",
                            "Text4",     "Text5",    "Text6",    "Check4", "List1", "Command3",
                            "Command2",  "Command1", "WRLfolder"}));
}

// On a screen too small for the layout (1280x1024 at twice the scale) the window lies inside the
// available area and scrolls to every control; on a large one it is the layout's size again.
TEST_F(VandrelWindow, ScrollsWhereTheScreenIsTooSmall) {
    form->show();
    auto* area = Control<ClientArea>("Scroll");
    const QRect small(0, 0, 640, 512);
    area->FitInto(small);
    // The frame counts: at least the borders the style draws stay inside the area, whatever
    // frame the system tells (Windows leaves out the sides and bottom).
    const int border = form->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    EXPECT_TRUE(small.marginsRemoved({border, border, border, border}).contains(form->geometry()))
        << form->geometry().x() << "," << form->geometry().y() << " " << form->geometry().width()
        << "x" << form->geometry().height();
    EXPECT_EQ(area->Layout()->size(), TwipsSize(*form, 12405, 9675));
    for (const char* corner : {"Label1", "Command1", "Command2", "Command3", "Label11"}) {
        QWidget* control = Control<QWidget>(corner);
        area->ensureWidgetVisible(control, 0, 0);
        EXPECT_TRUE(area->viewport()->rect().contains(
            QRect(control->mapTo(area->viewport(), QPoint()), control->size())))
            << corner;
    }
    area->FitInto(form->screen()->availableGeometry());
    EXPECT_EQ(form->size(), area->Layout()->size());
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
}

// F5 reads the lists again, keeping each selection whose name is still there (without a new
// preview); a folder gone takes its list to the nearest folder above.
TEST_F(VandrelWindow, F5ReloadsTheListsKeepingTheirSelections) {
    OpenLists();
    Pick("TSOfolder", "village.txt");
    Pick("WRLfolder", "tower.wrl");
    WriteBytes(PathIn(lists, "added.txt"), "");
    WriteBytes(PathIn(lists, "village.txt"), CrLfLines({"shed,0,0,0,0,0,0"}));
    fs::remove(PathIn(models, "house.wrl"));
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F5);
    EXPECT_EQ(Listed("TSOfolder"), (Lines{"added.txt", "other.txt", "village.txt"}));
    EXPECT_EQ(Files("TSOfolder")->FileName(), "village.txt");
    EXPECT_EQ(Shown(), (Lines{"house", "/ comment", "house"}));
    EXPECT_EQ(Listed("WRLfolder"), Lines{"tower.wrl"});
    EXPECT_EQ(Files("WRLfolder")->FileName(), "tower.wrl");

    fs::remove_all(lists);
    QTest::keyClick(form.get(), Qt::Key_F5);
    EXPECT_EQ(Control<FolderList>("Dir2")->Path(), root);
    EXPECT_EQ(Files("TSOfolder")->Path(), root);
    EXPECT_EQ(Control<DriveList>("Drive2")->Drive(), Control<DriveList>("Drive1")->Drive());
    EXPECT_TRUE(sink.Failures.empty());
}

TEST_F(VandrelWindow, StartsInTsoListModeAtTheCurrentFolder) {
    for (const char* check : {"Check1", "Check2", "Check3", "Check4"})
        EXPECT_FALSE(Check(check)->isChecked()) << check;
    EXPECT_EQ(Enabled({"Check1", "Check2", "Check3", "Check4"}),
              (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(Enabled({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"}),
              std::vector<bool>(6, false));
    EXPECT_EQ(Field("Text2")->text(), "");

    EXPECT_EQ(Control<FolderList>("Dir1")->Path(), models);
    EXPECT_EQ(Control<FolderList>("Dir2")->Path(), models);
    EXPECT_EQ(Files("WRLfolder")->Path(), models);
    EXPECT_EQ(Listed("WRLfolder"), (Lines{"house.wrl", "tower.wrl"}));
    EXPECT_EQ(Files("TSOfolder")->Pattern(), "*.txt");
    EXPECT_EQ(Listed("TSOfolder"), (Lines{"notes.txt", "Plan.TXT"}));
    EXPECT_EQ(Files("TSOfolder")->FileName(), "");
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_TRUE(sink.Failures.empty());
}

TEST_F(VandrelWindow, MgpModeOnAndOff) {
    OpenLists();
    ClickBox("Check2");
    EXPECT_TRUE(Check("Check2")->isChecked());
    EXPECT_EQ(Files("TSOfolder")->Pattern(), "*.mgp");
    EXPECT_EQ(Listed("TSOfolder"), Lines{"site.mgp"});
    EXPECT_EQ(Enabled({"Text1", "Check3", "Check4", "Check1", "Check2"}),
              (std::vector<bool>{true, true, false, true, true}));
    ClickBox("Check4");  // disabled: takes no click
    EXPECT_FALSE(Check("Check4")->isChecked());

    ClickBox("Check3");
    Field("Text1")->setText("45");
    ClickBox("Check2");
    EXPECT_FALSE(Check("Check2")->isChecked());
    EXPECT_EQ(Files("TSOfolder")->Pattern(), "*.txt");
    EXPECT_EQ(Listed("TSOfolder"), (Lines{"other.txt", "village.txt"}));
    EXPECT_EQ(Enabled({"Text1", "Check3", "Check4"}), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(Check("Check3")->isChecked());  // a disabled set Check3 stays set
    EXPECT_EQ(Field("Text1")->text(), "45");
    EXPECT_TRUE(sink.Messages.empty());
}

TEST_F(VandrelWindow, ManualModeOnAndOff) {
    ClickBox("Check4");
    EXPECT_TRUE(Check("Check4")->isChecked());
    EXPECT_EQ(Enabled({"Text2", "Text3", "Text4", "Text5", "Text6"}), std::vector<bool>(5, true));
    EXPECT_EQ(Enabled({"Check2", "Text1", "Check3"}), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Files("TSOfolder")->Pattern(), "*.txt");
    QTest::keyClicks(Field("Text2"), "shed");
    QTest::keyClicks(Field("Text3"), "5");

    ClickBox("Check4");
    EXPECT_FALSE(Check("Check4")->isChecked());
    EXPECT_EQ(Enabled({"Text2", "Text3", "Text4", "Text5", "Text6"}), std::vector<bool>(5, false));
    EXPECT_TRUE(Check("Check2")->isEnabled());
    EXPECT_EQ(Field("Text2")->text(), "shed");
    EXPECT_EQ(Field("Text3")->text(), "05");
}

TEST_F(VandrelWindow, SelectingAListFileShowsItsNames) {
    OpenLists();
    Pick("TSOfolder", "village.txt");
    EXPECT_EQ(Shown(), (Lines{"house", "/ comment", "house"}));

    // Clicking the selected file again reads it again.
    WriteBytes(PathIn(lists, "village.txt"), CrLfLines({"shed,0,0,0,0,0,0"}));
    FileList* files = Files("TSOfolder");
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->currentItem()).center());
    EXPECT_EQ(Shown(), Lines{"shed"});

    // In MGP mode a selection leaves List1 as it is; so does the change of pattern.
    ClickBox("Check2");
    Pick("TSOfolder", "site.mgp");
    EXPECT_EQ(Shown(), Lines{"shed"});
    ClickBox("Check2");
    EXPECT_EQ(Shown(), Lines{"shed"});

    // Manual mode previews too. A file gone since it was listed: reported, List1 left empty.
    ClickBox("Check4");
    fs::remove(PathIn(lists, "other.txt"));
    Pick("TSOfolder", "other.txt");
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Number(), 53);
    EXPECT_TRUE(Shown().empty());
    Pick("TSOfolder", "village.txt");
    EXPECT_EQ(Shown(), Lines{"shed"});
}

TEST_F(VandrelWindow, DriveChangeGoesToTheRootAndLeavesList1) {
    OpenLists();
    Pick("TSOfolder", "village.txt");
    const Lines shown = Shown();
    DriveList* drives = Control<DriveList>("Drive2");
    FolderList* folders = Control<FolderList>("Dir2");
    // Two drives: the machine's root and the test folder standing in for a second one.
    drives->SetDrives({{top, top}, {"data", root}}, lists);
    drives->setCurrentIndex(0);
    EXPECT_EQ(folders->Path(), top);
    drives->setCurrentIndex(1);
    EXPECT_EQ(folders->Path(), root);  // the drive's root folder, not the folder last shown
    EXPECT_EQ(Files("TSOfolder")->Path(), root);
    EXPECT_EQ(Files("TSOfolder")->ListCount(), 0);
    EXPECT_EQ(Shown(), shown);
    folders->SetPath(lists);
    EXPECT_EQ(Listed("TSOfolder"), (Lines{"other.txt", "village.txt"}));
    EXPECT_EQ(Shown(), shown);

    // The left column moves alone.
    Control<DriveList>("Drive1")->SetDrives({{top, top}, {"data", root}}, top);
    Control<DriveList>("Drive1")->setCurrentIndex(1);
    EXPECT_EQ(Control<FolderList>("Dir1")->Path(), root);
    EXPECT_EQ(Files("WRLfolder")->Path(), root);
    EXPECT_EQ(folders->Path(), lists);
    EXPECT_EQ(Shown(), shown);
    EXPECT_TRUE(sink.Failures.empty());

    // A drive whose root cannot be listed: reported, the lists stay, and the drive list shows
    // their drive again, so that the drive can be chosen once more.
    drives->SetDrives({{top, top}, {"gone", PathIn(root, "gone")}}, lists);
    drives->setCurrentIndex(1);
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Path(), PathIn(root, "gone"));
    EXPECT_EQ(drives->Drive(), top);
    EXPECT_EQ(folders->Path(), lists);
    EXPECT_EQ(Files("TSOfolder")->Path(), lists);
    fs::create_directory(PathIn(root, "gone"));
    drives->setCurrentIndex(1);
    EXPECT_EQ(folders->Path(), PathIn(root, "gone"));
    EXPECT_EQ(sink.Failures.size(), 1u);
}

TEST_F(VandrelWindow, DuplicateInTsoListMode) {
    OpenLists();
    Pick("TSOfolder", "village.txt");
    Press("Command3");
    DuplicateInputs in;
    in.TSOfolderPath = lists;
    in.TSOfolderFileName = "village.txt";
    ExpectCopiesOfTheCommand(in, {"house_0.wrl", "house_1.wrl"});
    // X 10, Z 2, Y 5: the point 1 2 3 becomes (11, 7, 1).
    EXPECT_NE(ReadBytes(PathIn(models, "newwrls/house_0.wrl")).find("\r\n  11  7  1,\r\n"),
              std::string::npos);
}

TEST_F(VandrelWindow, DuplicateInMgpModeFromTheSelectedModel) {
    OpenLists();
    ClickBox("Check2");
    Pick("TSOfolder", "site.mgp");
    ClickBox("Check1");
    Pick("WRLfolder", "tower.wrl");
    ClickBox("Check3");
    Field("Text1")->setText("90");
    Press("Command3");
    DuplicateInputs in;
    in.Check1Value = 1;
    in.Check2Value = 1;
    in.Check3Value = 1;
    in.Text1 = "90";
    in.WRLfolderFileName = "tower.wrl";
    in.TSOfolderPath = lists;
    in.TSOfolderFileName = "site.mgp";
    // The header line gives the first, unmoved placement.
    ExpectCopiesOfTheCommand(in, {"tower_0.wrl", "tower_1.wrl", "tower_2.wrl"});
}

TEST_F(VandrelWindow, DuplicateInManualMode) {
    ClickBox("Check4");
    Field("Text2")->setText("house");
    Field("Text3")->setText("10");
    Field("Text4")->setText("-4");
    Field("Text5")->setText("2.5");
    Field("Text6")->setText("90");
    Press("Command3");
    DuplicateInputs in;
    in.Check4Value = 1;
    in.Text2 = "house";
    in.Text3 = "10";
    in.Text4 = "-4";
    in.Text5 = "2.5";
    in.Text6 = "90";
    ExpectCopiesOfTheCommand(in, {"house_0.wrl"});
}

TEST_F(VandrelWindow, FixWrlsRewritesEveryListedExporterModel) {
    const std::string exporter =
        CrLfLines({std::string(kExporterHeader), "DEF MASTER Transform {"});
    WriteBytes(PathIn(models, "box.wrl"), exporter);
    Files("WRLfolder")->SetPath(models);
    Pick("WRLfolder", "tower.wrl");  // the selection does not matter
    Press("Command1");
    EXPECT_EQ(sink.Texts(), Lines{"DONE with  2 invalid file(s)"});
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::None);
    EXPECT_EQ(ReadBytes(PathIn(models, "box.wrl")), exporter + "\r\n");
    EXPECT_EQ(ReadBytes(PathIn(models, "house.wrl")), OneNodeModel("house"));
}

TEST_F(VandrelWindow, MissingSourceFileIsReportedAndTheWindowGoesOn) {
    OpenLists();
    Pick("TSOfolder", "village.txt");
    fs::remove(PathIn(lists, "village.txt"));
    Press("Command3");
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Number(), 53);
    EXPECT_EQ(sink.Failures[0].Path(), PathIn(lists, "village.txt"));
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_FALSE(fs::exists(PathIn(models, "newwrls")));

    Pick("TSOfolder", "other.txt");
    Press("Command3");
    EXPECT_EQ(sink.Texts(), Lines{"DONE"});
    EXPECT_EQ(FolderEntries(PathIn(models, "newwrls")), Lines{"tower_0.wrl"});
    EXPECT_EQ(sink.Failures.size(), 1u);
}

// The window's own message boxes: the program's caption alone, the error icon for problems
// only. Escape stops a Duplicate under way; its box has no icon and the window goes on.
TEST_F(VandrelWindow, MessageBoxesCarryTheCaptionAndTheirIcons) {
    WriteBytes(PathIn(models, "long.txt"), CrLfLines(Lines(50, "house,0,0,0,0,0,0")));
    ShownBoxes shown;
    QtMessageSink messages("VandrelV3");
    Vandrel window(messages);
    EXPECT_EQ(window.windowHandle()->title(), " ");  // a blank title bar
    window.findChild<QPushButton*>("Command1")->click();
    window.findChild<FileList*>("TSOfolder")->setCurrentRow(1);  // notes.txt, empty
    fs::remove(PathIn(models, "notes.txt"));
    window.findChild<QPushButton*>("Command3")->click();
    window.findChild<FileList*>("TSOfolder")->setCurrentRow(0);  // long.txt
    QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
    window.findChild<QPushButton*>("Command3")->click();

    const std::vector<ShownBoxes::Box>& boxes = shown.Boxes;
    ASSERT_EQ(boxes.size(), 3u);
    for (const ShownBoxes::Box& box : boxes) EXPECT_EQ(box.Title, "VandrelV3");
    EXPECT_EQ(boxes[0].Text, "DONE with  2 invalid file(s)");
    EXPECT_EQ(boxes[0].Icon, QMessageBox::NoIcon);
    EXPECT_EQ(boxes[1].Text.toStdString(),
              "Run-time error '53': File not found\n" + PathIn(models, "notes.txt"));
    EXPECT_EQ(boxes[1].Icon, QMessageBox::Critical);
    // Stopped before the first placement: nothing is written.
    EXPECT_EQ(boxes[2].Text, "Stopped: 0 of 50 copies written");
    EXPECT_EQ(boxes[2].Icon, QMessageBox::NoIcon);
    EXPECT_FALSE(fs::exists(PathIn(models, "newwrls")));
}

// The close button during a Duplicate stops it; the program ends once the command has returned,
// without the Stopped box.
TEST_F(VandrelWindow, ClosingTheWindowDuringARunStopsItAndEndsTheProgram) {
    WriteBytes(PathIn(models, "long.txt"), CrLfLines(Lines(50, "house,0,0,0,0,0,0")));
    EXPECT_EXIT(
        {
            ShownBoxes shown;
            QtMessageSink messages("VandrelV3");
            Vandrel window(messages);
            window.findChild<FileList*>("TSOfolder")->setCurrentRow(0);  // long.txt
            QEventLoop loop;
            QTimer::singleShot(0, [&] {
                // As the title bar's close button does it: through the window system's window.
                QCoreApplication::postEvent(window.windowHandle(), new QCloseEvent);
                window.findChild<QPushButton*>("Command3")->click();
                QMetaObject::invokeMethod(
                    &loop, [&] { loop.exit(1); }, Qt::QueuedConnection);
            });
            // Not shown: painting in a forked child may wait for the parent's threads.
            const bool ended = loop.exec() == 0;
            _exit(ended && shown.Boxes.empty() && !fs::exists(PathIn(models, "newwrls")) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(VandrelWindow, ExitEndsTheProgram) {
    EXPECT_EXIT(
        {
            QEventLoop loop;
            QTimer::singleShot(0, [&] {
                QTest::mouseClick(Control<QPushButton>("Command2"), Qt::LeftButton);
                // Runs only if the loop was not ended.
                QMetaObject::invokeMethod(
                    &loop, [&] { loop.exit(1); }, Qt::QueuedConnection);
            });
            // _exit: the child ends here, without the leak check of the libraries' caches.
            _exit(loop.exec() == 0 && sink.Messages.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace

}  // namespace scene
