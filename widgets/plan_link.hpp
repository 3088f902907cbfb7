// A main window's plan: F6, or "Plan of placements" in a list's context menu, opens it in a
// window of its own, which follows the main window's inputs while it is open. The inputs are
// taken on the main window's thread; the plan is computed off it.
#pragma once

#include <QAbstractItemView>
#include <QObject>
#include <functional>

#include "messages.hpp"
#include "plan_follower.hpp"

namespace scene {

class PlanWindow;

class PlanLink : public QObject {
    Q_OBJECT
  public:
    // `take` returns the computation for the window's inputs as they are, or an empty one when
    // there is nothing to plan (the plan window then shows `nothing`). `title` names the plan
    // window and the context menu entry.
    PlanLink(QWidget& window, MessageSink& sink, const QString& title, const QString& nothing,
             std::function<PlanJob()> take);

    // The plan follows each change the signal reports.
    template <typename Sender, typename Signal>
    void Follow(Sender* sender, Signal signal) {
        connect(sender, signal, this, &PlanLink::InputsChanged);
    }
    // ... and every change of the list's rows and selection.
    void FollowList(QAbstractItemView& list);
    void AddContextMenu(QWidget& list);

    void Open();
    void InputsChanged();
    // The plan window, once opened.
    PlanWindow* Window() const { return window_; }

  signals:
    // A placement picked in the plan window: its index into the shown plan's placements.
    void PlacementPicked(const PlannedPlacement& placement);

  private:
    void Show(std::shared_ptr<const Plan> plan);

    QWidget& owner_;
    MessageSink& sink_;
    QString title_, nothing_;
    std::function<PlanJob()> take_;
    PlanFollower follower_;
    PlanWindow* window_ = nullptr;
};

}  // namespace scene
