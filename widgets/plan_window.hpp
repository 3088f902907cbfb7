// The plan of a run in a window of its own: the placements drawn from above or from the side,
// the problems listed beside them (a click centres the plan on one), what the pointer names
// below, and "Save picture..." for a PNG or SVG file.
#pragma once

#include <QWidget>
#include <memory>

#include "messages.hpp"
#include "plan.hpp"
#include "plan_geometry.hpp"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace scene {

class PlanCanvas;

class PlanWindow : public QWidget {
    Q_OBJECT
  public:
    // A failure to save a picture goes to the sink.
    PlanWindow(MessageSink& sink, const QString& title, QWidget* parent = nullptr);

    // While a plan is computed the last one stays in sight.
    void ShowComputing();
    void ShowPlan(std::shared_ptr<const Plan> plan);
    // No plan to compute: the window says why.
    void ShowNothing(const QString& why);
    const Plan* CurrentPlan() const { return plan_.get(); }

    // Writes the picture as it is seen: SVG for a name ending in ".svg", else PNG. False (the
    // failure shown) when it cannot be written.
    bool SavePicture(const QString& path);

  signals:
    void PlacementPicked(int placement);  // into CurrentPlan()->Placements
    void RecomputeAsked();                // F5

  private:
    void LayOut();
    void SetView();
    void ShowPointed(int placement);
    void ShowSummary();
    void AskAndSave();

    MessageSink& sink_;
    QString title_;
    std::shared_ptr<const Plan> plan_;
    PlanView view_ = PlanView::Top;
    PlanCanvas* canvas_;
    QCheckBox* sideView_;
    QPushButton* fit_;
    QPushButton* save_;
    QLabel* state_;
    QListWidget* problems_;
    QLabel* pointed_;
};

}  // namespace scene
