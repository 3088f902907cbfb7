#include "plan_link.hpp"

#include <QAction>
#include <QShortcut>

#include "plan_window.hpp"

namespace scene {

namespace {

constexpr int kQuiet = 150;  // ms without a change before the plan is computed again

}  // namespace

PlanLink::PlanLink(QWidget& window, MessageSink& sink, const QString& title, const QString& nothing,
                   std::function<PlanJob()> take)
    : QObject(&window),
      owner_(window),
      sink_(sink),
      title_(title),
      nothing_(nothing),
      take_(std::move(take)) {
    connect(new QShortcut(QKeySequence(Qt::Key_F6), &window), &QShortcut::activated, this,
            &PlanLink::Open);
    connect(&follower_, &PlanFollower::Computed, this, &PlanLink::Show);
}

void PlanLink::FollowList(QAbstractItemView& list) {
    QAbstractItemModel* rows = list.model();
    Follow(rows, &QAbstractItemModel::modelReset);
    Follow(rows, &QAbstractItemModel::rowsInserted);
    Follow(rows, &QAbstractItemModel::rowsRemoved);
    Follow(list.selectionModel(), &QItemSelectionModel::selectionChanged);
}

void PlanLink::AddContextMenu(QWidget& list) {
    auto* open = new QAction(title_ + "\tF6", &list);
    connect(open, &QAction::triggered, this, &PlanLink::Open);
    list.addAction(open);
    list.setContextMenuPolicy(Qt::ActionsContextMenu);
}

void PlanLink::Open() {
    if (!window_) {
        window_ = new PlanWindow(sink_, title_, &owner_);
        connect(window_, &PlanWindow::RecomputeAsked, this, &PlanLink::InputsChanged);
        connect(&follower_, &PlanFollower::Started, window_, &PlanWindow::ShowComputing);
        connect(window_, &PlanWindow::PlacementPicked, this, [this](int placement) {
            if (const Plan* plan = window_->CurrentPlan())
                emit PlacementPicked(plan->Placements[static_cast<size_t>(placement)]);
        });
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    follower_.Request(take_, 0);
}

void PlanLink::InputsChanged() {
    if (window_ && window_->isVisible()) follower_.Request(take_, kQuiet);
}

void PlanLink::Show(std::shared_ptr<const Plan> plan) {
    if (!window_) return;
    if (plan)
        window_->ShowPlan(std::move(plan));
    else
        window_->ShowNothing(nothing_);
}

}  // namespace scene
