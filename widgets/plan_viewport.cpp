#include "plan_viewport.hpp"

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

// How far one may zoom out from the fitted picture, and in.
constexpr double kFarthest = 1e-2, kClosest = 1e7;

}  // namespace

QPointF PlanViewport::ToPixel(const PlanPoint& point) const {
    return {size_.width() / 2 + (point[0] - centre_[0]) * scale_,
            size_.height() / 2 + flip_ * (point[1] - centre_[1]) * scale_};
}

PlanPoint PlanViewport::ToPlan(QPointF pixel) const {
    return {centre_[0] + (pixel.x() - size_.width() / 2) / scale_,
            centre_[1] + flip_ * (pixel.y() - size_.height() / 2) / scale_};
}

void PlanViewport::Fit(const PlanBox& box) {
    centre_ = box.Centre();
    const double half = ShownHalfSide(box);
    // Each side in its own direction, so that a long row of placements fills the width.
    const double halfWidth = std::max(box.HalfWidth(), half / 4);
    const double halfHeight = std::max(box.HalfHeight(), half / 4);
    const double room = 0.45;  // of the widget's side, each way from the centre
    scale_ = std::min(size_.width() * room / halfWidth, size_.height() * room / halfHeight);
    if (!std::isfinite(scale_) || scale_ <= 0) scale_ = 1;
    fitted_ = scale_;
}

void PlanViewport::ZoomAbout(QPointF pixel, double factor) {
    const PlanPoint fixed = ToPlan(pixel);
    scale_ = std::clamp(scale_ * factor, fitted_ * kFarthest, fitted_ * kClosest);
    const PlanPoint moved = ToPlan(pixel);
    centre_ = {centre_[0] + (fixed[0] - moved[0]), centre_[1] + (fixed[1] - moved[1])};
}

void PlanViewport::Pan(QPointF pixels) {
    centre_ = {centre_[0] - pixels.x() / scale_, centre_[1] - flip_ * pixels.y() / scale_};
}

}  // namespace scene
