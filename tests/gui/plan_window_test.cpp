// The plan window of both programs: F6 opens it on the window's inputs, it follows them as they
// change, a picked placement is shown among the list's names, the view zooms about the pointer
// and fits again, and its pictures can be saved.
#include "plan_window.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <filesystem>

#include "file_list.hpp"
#include "folder_list.hpp"
#include "form1.hpp"
#include "model_check.hpp"
#include "plan_canvas.hpp"
#include "test_files.hpp"
#include "vandrel_window.hpp"

namespace scene {

namespace fs = std::filesystem;

namespace {

class PlanWindowTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string root = fs::canonical(dir.Path()).string();
    fs::path previous = fs::current_path();
    RecordingSink sink;

    void SetUp() override {
        const std::string model =
            CrLfLines({std::string(kConverterHeader), "      DEF VRL_house_vrl Transform {",
                       "point [", "      1 2 3,", "]", "}"});
        WriteBytes(PathIn(root, "house.wrl"), model);
        WriteBytes(PathIn(root, "village.txt"),
                   CrLfLines({"/ road,0,0,0,0,0,0", "house,0,0,0,0,0,0", "house,40,0,0,0,0,0",
                              "house,80,-4,0.5,0,0,0"}));
        WriteBytes(PathIn(root, "site.mgp"),
                   CrLfLines({"number_points=2", "PointPos=(1,2,3)", "PointPos=(-4,0,5)"}));
        fs::current_path(root);
    }
    void TearDown() override { fs::current_path(previous); }

    // F6 on the window; the plan window once it shows a plan that `ready` accepts.
    template <typename Ready>
    PlanWindow* OpenPlan(QWidget& window, Ready ready) {
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F6);
        auto* plan = window.findChild<PlanWindow*>("PlanWindow");
        if (!plan) return nullptr;
        EXPECT_TRUE(plan->isVisible());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return plan->CurrentPlan() && ready(*plan->CurrentPlan()); }));
        return plan;
    }
};

void PickFile(QWidget& window, const char* list, const std::string& name) {
    auto* files = window.findChild<FileList*>(list);
    for (int i = 0; i < files->ListCount(); ++i)
        if (files->List(i) == name) files->setCurrentRow(i);
}

TEST_F(PlanWindowTest, VandrelsPlanFollowsItsInputsAndShowsPickedPlacements) {
    Vandrel form(sink);
    PickFile(form, "TSOfolder", "village.txt");
    PlanWindow* plan = OpenPlan(form, [](const Plan& p) { return p.Placements.size() == 3; });
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->CurrentPlan()->Placements[2].Name, "house");

    auto* canvas = plan->findChild<PlanCanvas*>();
    const PlanPoint third = canvas->Picture().ItemFor(2)->Box.Centre();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->Viewport().ToPixel(third).toPoint());
    EXPECT_EQ(form.findChild<QListWidget*>("List1")->currentRow(), 3) << "the comment is row 0";

    form.findChild<QCheckBox*>("Check4")->setChecked(true);  // manual mode
    form.findChild<QLineEdit*>("Text2")->setText("shed");
    ASSERT_TRUE(QTest::qWaitFor([&] { return plan->CurrentPlan()->Placements.size() == 1; }));
    EXPECT_EQ(plan->CurrentPlan()->Placements[0].Name, "shed");

    fs::remove(PathIn(root, "village.txt"));  // the list again, now unreadable
    form.findChild<QCheckBox*>("Check4")->setChecked(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return plan->CurrentPlan()->Placements.empty(); }));
    ASSERT_FALSE(plan->CurrentPlan()->Problems.empty());
    EXPECT_EQ(plan->CurrentPlan()->Problems.front().Kind, ProblemKind::RunEnds);
    EXPECT_TRUE(sink.Messages.empty() && sink.Failures.empty()) << "the plan shows no box";
}

TEST_F(PlanWindowTest, OskivosPlanShowsThePickedFilesCameras) {
    Form1 form(sink);
    PickFile(form, "CamFile", "site.mgp");
    PlanWindow* plan = OpenPlan(form, [](const Plan& p) { return p.Placements.size() == 2; });
    ASSERT_NE(plan, nullptr);
    const PlannedPlacement& second = plan->CurrentPlan()->Placements[1];
    EXPECT_EQ(second.Label, "02");
    EXPECT_EQ(std::vector<double>({second.X, second.Y, second.Z}), std::vector<double>({4, 0, -5}));
    EXPECT_FALSE(plan->CurrentPlan()->Note.empty());
}

// The plan point under the pointer stays there through a zoom; Home shows all again; a drag moves
// the picture by as much as the pointer.
TEST_F(PlanWindowTest, ZoomPanAndFitKeepTheirPoints) {
    Vandrel form(sink);
    PickFile(form, "TSOfolder", "village.txt");
    PlanWindow* plan = OpenPlan(form, [](const Plan& p) { return p.Placements.size() == 3; });
    ASSERT_NE(plan, nullptr);
    auto* canvas = plan->findChild<PlanCanvas*>();
    const PlanViewport fitted = canvas->Viewport();
    const QPointF pointer(canvas->width() * 0.3, canvas->height() * 0.6);
    const PlanPoint under = fitted.ToPlan(pointer);
    QWheelEvent wheel(pointer, canvas->mapToGlobal(pointer), {}, {0, 360}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    EXPECT_NEAR(canvas->Viewport().Scale(), fitted.Scale() * 1.2 * 1.2 * 1.2,
                1e-9 * fitted.Scale());
    const QPointF still = canvas->Viewport().ToPixel(under);
    EXPECT_NEAR(still.x(), pointer.x(), 1e-6);
    EXPECT_NEAR(still.y(), pointer.y(), 1e-6);

    QTest::mousePress(canvas, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(canvas, {130, 80});
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, {130, 80});
    const QPointF moved = canvas->Viewport().ToPixel(under) - still;
    EXPECT_NEAR(moved.x(), 30, 1e-6);
    EXPECT_NEAR(moved.y(), -20, 1e-6);

    QTest::keyClick(canvas, Qt::Key_Home);
    EXPECT_EQ(canvas->Viewport().Scale(), fitted.Scale());
    EXPECT_EQ(canvas->Viewport().Centre(), fitted.Centre());
}

TEST_F(PlanWindowTest, PicturesAreSavedAsPngAndSvg) {
    Vandrel form(sink);
    PickFile(form, "TSOfolder", "village.txt");
    PlanWindow* plan = OpenPlan(form, [](const Plan& p) { return p.Placements.size() == 3; });
    ASSERT_NE(plan, nullptr);
    ASSERT_TRUE(plan->SavePicture(QString::fromStdString(PathIn(root, "plan.png"))));
    EXPECT_EQ(QImage(QString::fromStdString(PathIn(root, "plan.png"))).size(),
              plan->findChild<PlanCanvas*>()->size());
    ASSERT_TRUE(plan->SavePicture(QString::fromStdString(PathIn(root, "plan.svg"))));
    const std::string svg = ReadBytes(PathIn(root, "plan.svg"));
    for (const char* id : {"placement-0", "placement-1", "placement-2"})
        EXPECT_NE(svg.find(id), std::string::npos) << id;
    EXPECT_FALSE(plan->SavePicture(QString::fromStdString(PathIn(root, "missing/plan.png"))));
    EXPECT_EQ(sink.Failures.size(), 1u);
}

}  // namespace

}  // namespace scene
