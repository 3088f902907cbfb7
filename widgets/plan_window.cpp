#include "plan_window.hpp"

#include <QBoxLayout>
#include <QBuffer>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>

#include "messages.hpp"
#include "native_text.hpp"
#include "plan_canvas.hpp"
#include "plan_svg.hpp"
#include "plan_text.hpp"
#include "run_files.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

// The PNG file's bytes of what the canvas shows.
std::string PngBytes(const PlanCanvas& canvas) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    canvas.Render().save(&buffer, "PNG");
    return bytes.toStdString();
}

QString Counted(size_t count, const char* thing) {
    return QString("%1 %2%3").arg(QString::fromStdString(GroupedCount(static_cast<long>(count))),
                                  thing, count == 1 ? "" : "s");
}

// Large enough for the plan, in the middle of the screen's available area with its frame (a
// title bar and borders as the style draws them, before a window manager frames it).
void PlaceOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QRect room = (screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768))
                           .marginsRemoved({border, title + border, border, border});
    QRect placed(QPoint(0, 0), QSize(1000, 700).boundedTo(room.size() * 0.95));
    placed.moveCenter(room.center());
    window.setGeometry(placed);
}

}  // namespace

PlanWindow::PlanWindow(MessageSink& sink, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), sink_(sink), title_(title) {
    setObjectName("PlanWindow");
    setWindowTitle(title);
    canvas_ = new PlanCanvas(this);
    sideView_ = new QCheckBox("Side view", this);
    fit_ = new QPushButton("Fit all (Home)", this);
    save_ = new QPushButton("Save picture...", this);
    state_ = new QLabel(this);
    problems_ = new QListWidget(this);
    pointed_ = new QLabel(this);
    pointed_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pointed_->setMinimumHeight(3 * fontMetrics().height() + 4);
    problems_->setWordWrap(true);
    problems_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    canvas_->setFocus();
    LayOut();

    connect(sideView_, &QCheckBox::toggled, this, &PlanWindow::SetView);
    connect(fit_, &QPushButton::clicked, canvas_, &PlanCanvas::Fit);
    connect(save_, &QPushButton::clicked, this, &PlanWindow::AskAndSave);
    connect(problems_, &QListWidget::currentRowChanged, canvas_, &PlanCanvas::ShowProblem);
    connect(problems_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        canvas_->ShowProblem(problems_->row(item));
        canvas_->setFocus();  // the keys zoom and pan the plan centred on it
    });
    connect(canvas_, &PlanCanvas::Hovered, this, &PlanWindow::ShowPointed);
    connect(canvas_, &PlanCanvas::Picked, this, &PlanWindow::PlacementPicked);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &PlanWindow::RecomputeAsked);
    PlaceOnScreen(*this);
}

// The tools above, the plan with the problems beside it, what the pointer names below.
void PlanWindow::LayOut() {
    auto* tools = new QHBoxLayout;
    for (QWidget* tool : std::initializer_list<QWidget*>{sideView_, fit_, save_})
        tools->addWidget(tool);
    tools->addStretch();
    tools->addWidget(state_);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(canvas_);
    splitter->addWidget(problems_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({3000, 1000});
    auto* column = new QVBoxLayout(this);
    column->addLayout(tools);
    column->addWidget(splitter, 1);
    column->addWidget(pointed_);
}

void PlanWindow::ShowComputing() {
    state_->setText("Computing the plan\u2026");
}

void PlanWindow::ShowPlan(std::shared_ptr<const Plan> plan) {
    plan_ = std::move(plan);
    state_->setText(plan_->Stopped ? "Partial plan" : QString());
    setWindowTitle(plan_->Source.empty() ? title_ : title_ + " \u2014 " + ShownText(plan_->Source));
    canvas_->SetEmptyText("No placements");
    canvas_->SetPicture(MakePlanPicture(plan_, view_));
    problems_->clear();
    for (const PlanProblem& problem : plan_->Problems)
        problems_->addItem(ShownText(ProblemText(problem)));
    problems_->setVisible(!plan_->Problems.empty());
    ShowSummary();
}

void PlanWindow::ShowNothing(const QString& why) {
    plan_ = std::make_shared<const Plan>();
    state_->clear();
    setWindowTitle(title_);
    canvas_->SetEmptyText(why);
    canvas_->SetPicture(MakePlanPicture(plan_, view_));
    problems_->clear();
    problems_->hide();
    pointed_->clear();
}

void PlanWindow::SetView() {
    view_ = sideView_->isChecked() ? PlanView::Side : PlanView::Top;
    if (plan_) canvas_->SetPicture(MakePlanPicture(plan_, view_));
}

void PlanWindow::ShowPointed(int placement) {
    if (placement < 0 || !plan_) return ShowSummary();
    pointed_->setText(
        ShownText(PlacementDetails(plan_->Placements[static_cast<size_t>(placement)])));
}

void PlanWindow::ShowSummary() {
    if (!plan_) return;
    pointed_->setText(Counted(plan_->Placements.size(), "placement") + ", " +
                      Counted(plan_->Models.size(), "model") + ", " +
                      Counted(plan_->Problems.size(), "problem") +
                      ". Point at a placement to see its numbers; the wheel zooms, dragging "
                      "pans, Home fits all.");
}

bool PlanWindow::SavePicture(const QString& path) {
    bool saved = false;
    RunReported(sink_, [&] {
        const bool svg = path.endsWith(".svg", Qt::CaseInsensitive);
        RunFiles files(platform::SystemFileSystem());
        TextFileWriter file(files, NativeText(path), platform::Durability::Replaceable);
        file.Write(svg ? PlanSvg(plan_ ? *plan_ : Plan{}, view_) : PngBytes(*canvas_));
        file.Commit();
        saved = true;
    });
    return saved;
}

void PlanWindow::AskAndSave() {
    QString format;
    QString path = QFileDialog::getSaveFileName(
        this, "Save picture", "plan.png", "PNG picture (*.png);;SVG picture (*.svg)", &format);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += format.startsWith("SVG") ? ".svg" : ".png";
    SavePicture(path);
}

}  // namespace scene
