#include "plan_canvas.hpp"

#include <QKeyEvent>
#include <QPainter>
#include <cmath>

#include "native_text.hpp"
#include "plan_text.hpp"

namespace scene {

namespace {

constexpr double kNotch = 1.2;    // zoom of one wheel notch or key press
constexpr double kDragStart = 4;  // pixels the pointer moves before a press becomes a drag

}  // namespace

PlanCanvas::PlanCanvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(200, 160);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlanCanvas::SetPicture(PlanPicture picture) {
    const bool viewChanged = picture.View != picture_.View;
    picture_ = std::move(picture);
    marks_ = {};
    if (viewChanged || !moved_) {
        viewport_ = PlanViewport(picture_.View, size());
        Fit();
    }
    Changed();
}

void PlanCanvas::SetEmptyText(const QString& text) {
    emptyText_ = text;
    Changed();
}

void PlanCanvas::Fit() {
    viewport_.Resize(size());
    viewport_.Fit(picture_.Box);
    moved_ = false;
    Changed();
}

void PlanCanvas::ShowProblem(int problem) {
    if (!picture_.Source) return;
    marks_.Problem = problem;
    PlanPoint spot;
    const auto& problems = picture_.Source->Problems;
    if (problem >= 0 && static_cast<size_t>(problem) < problems.size() &&
        ProblemSpot(picture_, problems[static_cast<size_t>(problem)], spot)) {
        viewport_.CentreOn(spot);
        moved_ = true;
    }
    Changed();
}

void PlanCanvas::Pick(int placement) {
    marks_.Picked = placement;
    Changed();
    emit Picked(placement);
}

QImage PlanCanvas::Render() const {
    QImage image;
    RenderInto(image);
    return image;
}

// Into a picture of the widget's size, made anew only when that size changes.
void PlanCanvas::RenderInto(QImage& image) const {
    const double ratio = devicePixelRatioF();
    if (image.size() != size() * ratio || image.devicePixelRatio() != ratio) {
        image = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
    }
    PaintPlan(image, picture_, viewport_, marks_);
}

void PlanCanvas::Changed() {
    stale_ = true;
    update();
}

void PlanCanvas::paintEvent(QPaintEvent*) {
    if (stale_ || shown_.size() != size() * devicePixelRatioF()) RenderInto(shown_);
    stale_ = false;
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
    PaintPointed(painter);
    if (!picture_.Source || picture_.Items.empty()) {
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                         emptyText_);
    }
}

void PlanCanvas::resizeEvent(QResizeEvent*) {
    viewport_.Resize(size());
    if (!moved_) Fit();
    Changed();
}

void PlanCanvas::wheelEvent(QWheelEvent* event) {
    Zoom(event->position(), std::pow(kNotch, event->angleDelta().y() / 120.0));
    event->accept();
}

void PlanCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = lastAt_ = event->position();
    dragging_ = false;
}

void PlanCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (event->buttons() & Qt::LeftButton) {
        const QPointF moved = at - pressedAt_;
        dragging_ = dragging_ || std::hypot(moved.x(), moved.y()) >= kDragStart;
        if (dragging_) Pan(at - lastAt_);
        lastAt_ = at;
        return;
    }
    pointer_ = at;
    if (picture_.Source) Hover(PlacementAt(picture_, viewport_, at));
    if (marks_.Hovered >= 0) update();  // the card follows the pointer over the same picture
}

void PlanCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    if (!dragging_ && picture_.Source) {
        const int placement = PlacementAt(picture_, viewport_, event->position());
        if (placement >= 0) Pick(placement);
    }
    dragging_ = false;
}

void PlanCanvas::keyPressEvent(QKeyEvent* event) {
    const QPointF middle(width() / 2.0, height() / 2.0);
    const double step = std::min(width(), height()) / 8.0;
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return Zoom(middle, kNotch);
        case Qt::Key_Minus:
            return Zoom(middle, 1 / kNotch);
        case Qt::Key_Left:
            return Pan({step, 0});
        case Qt::Key_Right:
            return Pan({-step, 0});
        case Qt::Key_Up:
            return Pan({0, step});
        case Qt::Key_Down:
            return Pan({0, -step});
        case Qt::Key_Home:
            return Fit();
        default:
            QWidget::keyPressEvent(event);
    }
}

void PlanCanvas::leaveEvent(QEvent*) {
    Hover(-1);
}

void PlanCanvas::Zoom(QPointF about, double factor) {
    viewport_.ZoomAbout(about, factor);
    moved_ = true;
    Changed();
}

void PlanCanvas::Pan(QPointF pixels) {
    viewport_.Pan(pixels);
    moved_ = true;
    Changed();
}

void PlanCanvas::Hover(int placement) {
    if (placement == marks_.Hovered) return;
    marks_.Hovered = placement;
    Changed();
    emit Hovered(placement);
}

// The pointed placement's words on a card beside the pointer, kept inside the widget. A tool
// tip would be a window under the pointer, taking the wheel and clicks meant for the plan.
void PlanCanvas::PaintPointed(QPainter& painter) const {
    if (marks_.Hovered < 0) return;
    const PlannedPlacement& shown =
        picture_.Source->Placements[static_cast<size_t>(marks_.Hovered)];
    const QString text = ShownText(PlacementDetails(shown));
    QRectF card = painter.boundingRect(QRectF(0, 0, width(), height()), Qt::AlignLeft, text)
                      .adjusted(-6, -4, 6, 4);
    card.moveTopLeft(pointer_ + QPointF(18, 18));
    if (card.right() > width()) card.moveRight(pointer_.x() - 12);
    if (card.bottom() > height()) card.moveBottom(pointer_.y() - 12);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(QColor(0xff, 0xff, 0xe8, 240));
    painter.drawRect(card);
    painter.setPen(Qt::black);
    painter.drawText(card.adjusted(6, 4, -6, -4), Qt::AlignLeft, text);
}

}  // namespace scene
