// How a plan lies in a widget: which plan point is at the widget's centre, and how many pixels
// a plan unit takes. Pixels are computed in doubles from the centre, so that far coordinates
// (1e300) and small extents stay exact.
#pragma once

#include <QPointF>
#include <QSizeF>

#include "plan_geometry.hpp"

namespace scene {

class PlanViewport {
  public:
    PlanViewport() = default;
    PlanViewport(PlanView view, QSizeF size) : flip_(view == PlanView::Top ? 1 : -1), size_(size) {}

    QSizeF Size() const { return size_; }
    void Resize(QSizeF size) { size_ = size; }
    double Scale() const { return scale_; }  // pixels per plan unit
    PlanPoint Centre() const { return centre_; }

    QPointF ToPixel(const PlanPoint& point) const;
    PlanPoint ToPlan(QPointF pixel) const;

    // The whole box, with a margin, around the widget's centre.
    void Fit(const PlanBox& box);
    // The plan point under `pixel` stays there; the scale stays within reach of the fitted one.
    void ZoomAbout(QPointF pixel, double factor);
    // The picture moves by `pixels`.
    void Pan(QPointF pixels);
    void CentreOn(const PlanPoint& point) { centre_ = point; }

  private:
    double flip_ = 1;  // the second coordinate grows downward (1) or upward (-1)
    QSizeF size_;
    PlanPoint centre_{0, 0};
    double scale_ = 1;
    double fitted_ = 1;  // the scale that shows everything
};

}  // namespace scene
