#include "client_area.hpp"

#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "twips.hpp"

namespace scene {

namespace {

// The window's frame, each side the larger of what the system tells (nothing before a window
// manager has framed it) and a title bar and borders as the style draws them. Windows tells a
// frame without its borders at the sides and bottom, which Windows 10 keeps for resizing and
// Wine draws; Wine without a window manager tells borders of -1.
QMargins FrameOf(const QWidget& window) {
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QWindow* handle = window.windowHandle();
    const QMargins told = handle ? handle->frameMargins() : QMargins();
    return {std::max(told.left(), border), std::max(told.top(), title + border),
            std::max(told.right(), border), std::max(told.bottom(), border)};
}

// A scroll bar's value moves by whole device pixels, so that frame lines stay aligned.
void ScrollByAlignedSteps(QScrollBar& bar, int step) {
    if (step <= 1) return;
    bar.setSingleStep(std::max(bar.singleStep() / step, 1) * step);
    QObject::connect(&bar, &QScrollBar::valueChanged, &bar, [&bar, step](int value) {
        if (value % step != 0) bar.setValue(value / step * step);
    });
}

}  // namespace

QSize FittedSize(QSize layout, QSize room, int bar) {
    bool vertical = layout.height() > room.height();
    bool horizontal = layout.width() > room.width();
    // A scroll bar takes room from the other direction.
    if (vertical && !horizontal) horizontal = layout.width() + bar > room.width();
    if (horizontal && !vertical) vertical = layout.height() + bar > room.height();
    return {std::min(layout.width() + (vertical ? bar : 0), room.width()),
            std::min(layout.height() + (horizontal ? bar : 0), room.height())};
}

ClientArea::ClientArea(QWidget& window, int width, int height)
    : QScrollArea(&window), window_(window) {
    setObjectName("Scroll");
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // the focus moves among the controls only
    auto* layout = new QWidget;
    layout->setObjectName("ClientArea");
    layout->setFixedSize(TwipsSize(window, width, height));
    setWidget(layout);
    // Where the layout shows unscrolled, already now: the controls align in window pixels.
    viewport()->move(0, 0);
    layout->move(0, 0);
    const int step = AlignedScrollStep(window.devicePixelRatioF());
    ScrollByAlignedSteps(*horizontalScrollBar(), step);
    ScrollByAlignedSteps(*verticalScrollBar(), step);
}

void ClientArea::FitInto(const QRect& available, bool centred) {
    const QMargins frame = FrameOf(window_);
    const QRect room = available.marginsRemoved(frame);
    const QSize size = FittedSize(Layout()->size(), room.size(),
                                  style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    window_.setFixedSize(size);
    setGeometry(0, 0, size.width(), size.height());
    if (!centred && size == Layout()->size()) return;
    QRect placed({}, size);
    placed.moveCenter(available.center());
    placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() + 1 - size.width()));
    placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() + 1 - size.height()));
    window_.setGeometry(placed);  // the client area's place: the frame goes around it
}

void ClientArea::FitIntoScreen(bool centred) {
    if (const QScreen* screen = window_.screen()) FitInto(screen->availableGeometry(), centred);
}

}  // namespace scene
