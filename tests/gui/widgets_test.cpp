// The shared list controls: drives from the mount table, the folder chain, failures that
// leave a list usable, and the run-time error report's text.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "drive_list.hpp"
#include "file_list.hpp"
#include "file_system.hpp"
#include "folder_list.hpp"
#include "path_lines.hpp"
#include "qt_message_sink.hpp"
#include "system.hpp"
#include "test_files.hpp"
#include "twips.hpp"
#include "user_guide.hpp"
#include "window_command.hpp"

namespace scene {

namespace fs = std::filesystem;

TEST(DriveList, MachineDrivesHoldTheCurrentFolders) {
    // The machine's drives include the current folder's: "/", or a drive letter on Windows.
    const std::string root = RootFolderOf(fs::current_path().string());
    const std::vector<DriveEntry> drives = MachineDrives();
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(),
                            [&](const DriveEntry& drive) { return drive.Root == root; }));
#ifdef _WIN32
    // The drive letters as Qt lists them, each shown as "c:" and rooted at "C:\".
    std::vector<std::pair<std::string, std::string>> expected, listed;
    for (const QFileInfo& drive : QDir::drives()) {
        const QString letterRoot = QDir::toNativeSeparators(drive.absoluteFilePath());
        expected.emplace_back(letterRoot.left(2).toLower().toStdString(), letterRoot.toStdString());
    }
    for (const DriveEntry& drive : drives) listed.emplace_back(drive.Text, drive.Root);
    EXPECT_EQ(listed, expected);
#endif
}

TEST(DriveList, SelectsTheDriveHoldingAFolderWithoutReportingAChange) {
    DriveList drives;
    QSignalSpy changes(&drives, &DriveList::Change);
    const std::string root = RootFolderOf(fs::current_path().string());
    const std::string home = PathIn(root, "home"), homework = PathIn(root, "homework");
    drives.SetDrives({{root, root}, {"/home", home}, {"/homework", homework}}, PathIn(home, "me"));
    EXPECT_EQ(drives.RootFolder(), home);
    drives.SelectDriveOf(PathIn(root, "homework2"));
    EXPECT_EQ(drives.RootFolder(), root);
    EXPECT_EQ(changes.count(), 0);
    drives.setCurrentIndex(2);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(drives.Drive(), "/homework");
}

TEST(FolderList, ShowsParentsAndSubfoldersAndReportsChanges) {
    TempDir dir;
    const std::string folder = fs::canonical(dir.Path()).string();
    fs::create_directory(PathIn(folder, "beta"));
    fs::create_directory(PathIn(folder, "Alpha"));
    fs::create_directory(folder + "/.hidden");
    RecordingSink sink;
    FolderList folders(sink);
    QSignalSpy changes(&folders, &FolderList::Change);

    folders.SetPath(folder + kPathSeparator);
    EXPECT_EQ(folders.Path(), folder);
    EXPECT_EQ(changes.count(), 1);
    QTreeWidgetItem* current = folders.currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0).toStdString(), fs::path(folder).filename().string());
    ASSERT_EQ(current->childCount(), 2);
    EXPECT_EQ(current->child(0)->text(0), "Alpha");
    EXPECT_EQ(current->child(1)->text(0), "beta");
    EXPECT_EQ(folders.topLevelItem(0)->text(0).toStdString(), RootFolderOf(folder));

    folders.SetPath(folder);  // the same folder: listed again, no change
    EXPECT_EQ(changes.count(), 1);

    EXPECT_THROW(folders.SetPath(PathIn(folder, "missing")), Failure);
    EXPECT_EQ(folders.Path(), folder);
    EXPECT_EQ(folders.currentItem()->childCount(), 2);
    folders.SetPath(PathIn(folder, "beta"));
    EXPECT_EQ(changes.count(), 2);

    // Opening an entry: the parent above the folder becomes the folder.
    QTreeWidgetItem* parent = folders.currentItem()->parent();
    emit folders.itemActivated(parent, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(folders.Path(), folder);
    EXPECT_EQ(changes.count(), 3);
    EXPECT_TRUE(sink.Failures.empty());
}

TEST(FileList, ListsMatchingFilesAndStaysUsableAfterAFailure) {
    TempDir dir;
    for (const char* name : {"b.mgp", "A.MGP", "c.txt", "d.Mgp"}) WriteBytes(dir / name, "");
    FileList files;
    QSignalSpy clicks(&files, &FileList::Click);
    files.SetPattern("*.mgp");
    files.SetPath(dir.Path());
    ASSERT_EQ(files.ListCount(), 3);
    EXPECT_EQ(files.List(0), "A.MGP");
    EXPECT_EQ(files.List(2), "d.Mgp");
    EXPECT_THROW(files.List(3), Failure);
    EXPECT_EQ(files.FileName(), "");

    files.setCurrentRow(1);
    EXPECT_EQ(files.FileName(), "b.mgp");
    EXPECT_EQ(clicks.count(), 1);

    // Reloading selects nothing and reports no click.
    files.SetPattern("*.TXT");
    EXPECT_EQ(files.ListCount(), 1);
    EXPECT_EQ(files.FileName(), "");
    EXPECT_THROW(files.SetPath(dir / "missing"), Failure);
    EXPECT_EQ(files.Path(), dir.Path());
    EXPECT_EQ(files.ListCount(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(FileList, ClickingTheSelectedNameAgainIsAClick) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt"}) WriteBytes(dir / name, "");
    FileList files;
    files.SetPattern("*.txt");
    files.SetPath(dir.Path());
    files.resize(200, 100);
    QSignalSpy clicks(&files, &FileList::Click);
    auto clickRow = [&](int row) {
        QTest::mouseClick(files.viewport(), Qt::LeftButton, {},
                          files.visualItemRect(files.item(row)).center());
    };
    clickRow(0);
    EXPECT_EQ(clicks.count(), 1);
    clickRow(0);
    EXPECT_EQ(clicks.count(), 2);
    clickRow(1);  // a new selection: one click, not two
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(files.FileName(), "b.txt");
}

// The progress window says what the work does, under the program's name alone. Cancel, Escape in
// it or in the window stop the command under way; the next command starts afresh. It blocks
// nothing: a window under a modal one would get no close event.
TEST(WindowCommand, CancelAndEscapeStopTheCommandUnderWay) {
    QWidget window;
    RecordingSink sink;
    auto progress = [&] { return window.findChild<QProgressDialog*>(); };
    RunWindowCommand(window, sink, "VandrelV3", [&](RunContext& run) {
        EXPECT_FALSE(run.Stop.stop_requested());
        run.Progress.Show(Work::WritingCopies, 1233, 20000);
        ASSERT_NE(progress(), nullptr);
        EXPECT_EQ(progress()->windowTitle(), "VandrelV3");
        EXPECT_EQ(progress()->labelText(), "Writing copy 1,234 of 20,000");
        EXPECT_EQ(progress()->windowModality(), Qt::NonModal);
        progress()->findChild<QPushButton*>()->click();
        EXPECT_TRUE(run.Stop.stop_requested());
    });
    EXPECT_EQ(progress(), nullptr);
    RunWindowCommand(window, sink, "VandrelV3", [&](RunContext& run) {
        EXPECT_FALSE(run.Stop.stop_requested());
        run.Progress.Show(Work::FixingModels, 0, 3);
        QTest::keyClick(progress(), Qt::Key_Escape);
        EXPECT_TRUE(run.Stop.stop_requested());
    });
    RunWindowCommand(window, sink, "VandrelV3", [&](RunContext& run) {
        // The window's events wait for the command to let them through.
        QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
        EXPECT_FALSE(run.Stop.stop_requested());
        run.Progress.Show(Work::FixingModels, 0, 3);
        EXPECT_TRUE(run.Stop.stop_requested());
        run.Progress.Show(Work::FixingModels, 3, 3);
        EXPECT_EQ(progress(), nullptr);
    });
    EXPECT_TRUE(sink.Messages.empty() && sink.Failures.empty());
}

// A box's lines are no wider than the box and lose nothing: a path breaks after its separators,
// and inside a name only where the name alone is wider than the box; the words before it break
// at their blanks.
TEST(QtMessageSink, LongTextsBreakToTheBoxWidth) {
    const QFontMetrics metrics(QApplication::font());
    const int width = metrics.horizontalAdvance(QString(40, 'x'));
    const QString sep{QChar(kPathSeparator)};
    const QString path = QStringList({"", "data", "a very long folder name", QString(240, 'f'),
                                      QString(146, 'm') + ".wrl: Permission denied"})
                             .join(sep);
    const QString message = "Some steps failed (1). First: Path/File access error (" + sep +
                            "scenes" + sep + QString(300, 'n') + "_0.wrl)";
    for (const QString& text : {path, message}) {
        const QStringList lines = BreakLines(text, metrics, width).split('\n');
        EXPECT_EQ(lines.join(QString()), text);
        qsizetype at = 0;
        for (const QString& line : lines) {
            EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
            at += line.size();
            if (text != path || at == text.size() || text[at - 1] == sep[0]) continue;
            const qsizetype nameStart = text.lastIndexOf(sep, at) + 1;
            const QString name = text.mid(nameStart, text.indexOf(sep, at) - nameStart);
            EXPECT_GT(metrics.horizontalAdvance(name), width) << name.toStdString();
        }
    }
}

// A question shows its whole path in the box; No is the default, Yes goes on.
TEST(QtMessageSink, QuestionShowsEveryLineWhole) {
    QtMessageSink sink("Oskivo");
    const std::string path = "/" + std::string(240, 'f') + "/" + std::string(146, 'm') + ".txt";
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            for (const QString& line : label->text().split('\n'))
                EXPECT_LE(label->fontMetrics().horizontalAdvance(line),
                          label->contentsRect().width() - label->indent());
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
            box->button(answer)->click();
        });
        EXPECT_EQ(sink.AskYesNo("Replace it?", path), answer == QMessageBox::Yes);
    }
}

TEST(RunReported, ReportsFailuresAndOtherExceptionsAndGoesOn) {
    RecordingSink sink;
    RunReported(sink, [] { throw Failure(FailureKind::PathNotFound, "/x"); });
    RunReported(sink, [] { throw std::runtime_error("out of luck"); });
    RunReported(sink, [] { throw std::bad_alloc(); });  // reported as the command line does
    bool ran = false;
    RunReported(sink, [&] { ran = true; });
    ASSERT_EQ(sink.Failures.size(), 2u);
    EXPECT_EQ(sink.Failures[0].Number(), 76);
    EXPECT_EQ(sink.Failures[1].Number(), 7);
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_EQ(sink.Messages[0].Text, "out of luck");
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
    EXPECT_TRUE(ran);
}

// A guide's picture is drawn from the screen's own pixels at every scale, narrowed to the guide
// where it is wider, from full colour even when saved with a palette.
TEST(UserGuide, PicturesInTheScreensPixels) {
    QImage saved(827, 645, QImage::Format_Indexed8);
    saved.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    saved.fill(1);
    for (const qreal scale : {1.0, 1.25, 1.5, 2.0}) {
        for (const int widest : {400, 1000}) {
            const QImage shown = ShownPicture(saved, widest, scale);
            const int width = std::min(widest, saved.width());
            EXPECT_EQ(shown.width(), qRound(width * scale)) << scale << ' ' << widest;
            EXPECT_NEAR(shown.deviceIndependentSize().width(), width, 1e-9);
            EXPECT_NEAR(shown.deviceIndependentSize().height(), width * 645.0 / 827, 1);
            EXPECT_NE(shown.format(), QImage::Format_Indexed8);
        }
    }
}

TEST(Twips, ConvertByLogicalDpi) {
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(5055, 96), 337);
    EXPECT_EQ(TwipsToPixels(255, 120), 21);
}

// Frame lines begin in the first half of a device pixel, a few pixels from where the layout puts
// them; at whole scales they stay; aligned scroll steps are whole device pixels.
TEST(Twips, LinesAlignedAtFractionalScales) {
    for (const double scale : {1.0, 1.1, 1.25, 1.4, 1.5, 1.6, 1.75, 1.9, 2.0}) {
        for (int pixels = 0; pixels < 60; ++pixels) {
            const int line = AlignedLine(pixels, scale);
            EXPECT_LE(std::abs(line - pixels), 4) << scale << ' ' << pixels;
            const double start = line * scale;
            EXPECT_LT(start - std::floor(start + 1e-9), 0.5) << scale << ' ' << pixels;
            EXPECT_TRUE(scale != std::round(scale) || line == pixels);
        }
        const double step = AlignedScrollStep(scale) * scale;
        EXPECT_NEAR(step, std::round(step), 1e-9) << scale;
    }
}

}  // namespace scene
