// The drawing of a plan in a widget: the wheel zooms about the pointer, dragging pans, Home fits
// everything in; +, - and the arrow keys do the same from the keyboard. Pointing at a placement
// shows its words and numbers beside the pointer; clicking it picks it.
#pragma once

#include <QWidget>

#include "plan_painter.hpp"
#include "plan_picture.hpp"
#include "plan_viewport.hpp"

namespace scene {

class PlanCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit PlanCanvas(QWidget* parent = nullptr);

    // Shows the picture; the view stays where the user moved it, else it fits the new plan.
    void SetPicture(PlanPicture picture);
    const PlanPicture& Picture() const { return picture_; }
    const PlanViewport& Viewport() const { return viewport_; }
    // Said in the middle when there are no placements.
    void SetEmptyText(const QString& text);

    // What the widget shows, as a picture of its size.
    QImage Render() const;

    void Fit();
    // Marks the problem (into Plan::Problems; -1 for none) and centres the view on it.
    void ShowProblem(int problem);
    void Pick(int placement);

  signals:
    void Hovered(int placement);  // -1 when the pointer leaves every placement
    void Picked(int placement);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void Zoom(QPointF about, double factor);
    void Pan(QPointF pixels);
    void Hover(int placement);
    void PaintPointed(QPainter& painter) const;
    void RenderInto(QImage& image) const;
    // The picture changed: it is painted anew, not only shown again.
    void Changed();

    PlanPicture picture_;
    QImage shown_;       // the last picture painted, shown again while nothing changes
    bool stale_ = true;  // something changed since it was painted
    PlanViewport viewport_;
    PlanMarks marks_;
    QString emptyText_;
    bool moved_ = false;     // the user zoomed or panned since the view was last fitted
    bool dragging_ = false;  // the left button moved far enough to pan
    QPointF pressedAt_, lastAt_, pointer_;
};

}  // namespace scene
