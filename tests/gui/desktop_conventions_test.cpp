// What users expect of both windows whatever fonts the machine has: every caption fits its
// control, file list rows hold their text, Enter presses the focused button, and only picking a
// name changes a file list's selection.
#include "desktop_conventions.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <cstdlib>

#include "file_list.hpp"
#include "form1.hpp"
#include "test_files.hpp"
#include "vandrel_window.hpp"

namespace scene {

namespace {

// What Qt's style asks for a label's or a check box's caption; a push button's text alone (its
// size hint adds a minimum width).
int NeededWidth(const QWidget& control, const QString& text) {
    if (qobject_cast<const QPushButton*>(&control))
        return control.fontMetrics().horizontalAdvance(text);
    return control.sizeHint().width();
}

void ExpectEveryCaptionFits(const QWidget& window) {
    int captions = 0;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<const QLabel*>(control)) text = label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(control)) text = button->text();
        if (text.isEmpty()) continue;
        ++captions;
        EXPECT_GE(control->font().pointSizeF(), 8) << control->objectName().toStdString();
        EXPECT_LE(NeededWidth(*control, text), control->width())
            << control->objectName().toStdString() << " \"" << text.toStdString() << "\" in "
            << QFontInfo(control->font()).family().toStdString();
    }
    EXPECT_GE(captions, 5);
}

TEST(DesktopConventions, EveryCaptionFitsItsControl) {
    RecordingSink sink;
    Vandrel vandrel(sink);
    ExpectEveryCaptionFits(vandrel);
    Form1 form1(sink);
    ExpectEveryCaptionFits(form1);
}

// A caption too wide at 8 points widens its control into the free space on its line: to the
// right, or both ways when centred, never over a neighbour or the frame's edge.
TEST(DesktopConventions, CaptionsTooWideTakeTheFreeSpaceBesideThem) {
    QGroupBox frame;
    frame.setGeometry(0, 0, 400, 60);
    auto* left = new QLabel("Orientation Angle of every placement", &frame);
    left->setGeometry(10, 5, 40, 20);
    auto* neighbour = new QLineEdit(&frame);
    neighbour->setGeometry(120, 5, 50, 20);
    auto* centred = new QLabel("Manual TSO Placement of the window", &frame);
    centred->setAlignment(Qt::AlignCenter);
    centred->setGeometry(180, 30, 20, 20);
    FitCaptions(frame);
    EXPECT_EQ(left->font().pointSizeF(), 8);
    EXPECT_EQ(left->geometry(), QRect(10, 5, 110, 20));  // up to its neighbour
    EXPECT_LT(centred->x(), 180);
    EXPECT_GT(centred->geometry().right(), 199);
    EXPECT_EQ(centred->geometry().center().x(), QRect(180, 30, 20, 20).center().x());
    EXPECT_TRUE(frame.contentsRect().contains(centred->geometry()));
}

// F1 shows the window's user guide with its pictures, which are built into the program, at
// their own size.
TEST(DesktopConventions, F1ShowsTheUserGuideWithItsPictures) {
    RecordingSink sink;
    Vandrel vandrel(sink);
    Form1 form1(sink);
    for (QWidget* window : {static_cast<QWidget*>(&vandrel), static_cast<QWidget*>(&form1)}) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_F1);
        auto* guide = window->findChild<QTextBrowser*>("UserGuide");
        ASSERT_NE(guide, nullptr);
        EXPECT_TRUE(guide->isVisible());
        EXPECT_TRUE(guide->windowTitle().endsWith(" user guide"));
        EXPECT_TRUE(guide->toPlainText().contains("Messages"));
        int pictures = 0;
        const QRegularExpression image(R"(!\[[^]]*\]\(([^)]+)\))");
        for (const QRegularExpressionMatch& shown : image.globalMatch(guide->toMarkdown())) {
            ++pictures;
            const QString name = shown.captured(1);
            const QImage own(":/guide/" + name);
            EXPECT_FALSE(own.isNull()) << name.toStdString();
            // On this screen the guide is wide enough for every picture at its own size.
            const QImage picture =
                guide->document()->resource(QTextDocument::ImageResource, name).value<QImage>();
            EXPECT_EQ(picture.deviceIndependentSize().toSize(), own.size()) << name.toStdString();
        }
        EXPECT_GE(pictures, 2);
        guide->close();
    }
}

TEST(DesktopConventions, EnterPressesTheFocusedButton) {
    TempDir dir;
    RecordingSink sink;
    Form1 form(sink);
    auto* create = form.findChild<QPushButton*>("Command1");
    ASSERT_NE(create, nullptr);
    create->setFocus();
    // "Create File" with no file picked is a run-time error: the press is seen in the sink.
    QTest::keyClick(create, Qt::Key_Return);
    QTest::keyClick(create, Qt::Key_Enter);
    EXPECT_EQ(sink.Failures.size(), 2u);
}

TEST(DesktopConventions, FileListSelectionChangesOnlyByPickingAName) {
    TempDir dir;
    for (const char* name : {"d_numnames.txt", "g_jpq.txt"}) WriteBytes(dir / name, "");
    FileList files;
    files.SetPattern("*.txt");
    files.SetPath(dir.Path());
    files.resize(200, 200);
    const QRect row = files.visualItemRect(files.item(0));
    EXPECT_GE(row.height(), files.fontMetrics().height() + 2);

    QTest::mouseClick(files.viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(files.FileName(), "d_numnames.txt");
    // Without the focus the selected row still stands out from the list, beyond its text, as
    // with the focus (Windows' light blue is some 30 grey levels off white; its unfocused grey
    // 13).
    const QImage shown = files.viewport()->grab().toImage();
    const int x = files.viewport()->width() - 4;
    EXPECT_GT(std::abs(qGray(shown.pixel(x, row.center().y())) - qGray(shown.pixel(x, 150))), 24);
    QTest::mouseClick(files.viewport(), Qt::LeftButton, {}, QPoint(100, 180));  // below the names
    EXPECT_EQ(files.FileName(), "d_numnames.txt");
    QTest::mouseClick(files.viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
    EXPECT_EQ(files.FileName(), "d_numnames.txt");
    QTest::keyClick(files.viewport(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(files.FileName(), "d_numnames.txt");
}

}  // namespace

}  // namespace scene
