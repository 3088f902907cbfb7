#include "desktop_conventions.hpp"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

namespace scene {

namespace {

class ReadableRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    // A selected row is drawn as in a view that has the focus.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_Selected) option->state |= QStyle::State_Active;
    }

  public:
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + 2));
        return size;
    }
};

// The free space beside a control inside its container: from the nearest control on its line to
// the left to the nearest to the right, inside a frame's border.
std::pair<int, int> FreeSpan(const QWidget& control) {
    const QWidget& container = *control.parentWidget();
    const int inset = qobject_cast<const QGroupBox*>(&container)
                          ? container.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1
                          : 0;
    const QRect at = control.geometry();
    int from = inset, to = container.width() - inset;
    for (const QWidget* other :
         container.findChildren<const QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect there = other->geometry();
        if (other == &control || other->isWindow() || there.bottom() < at.top() ||
            there.top() > at.bottom())
            continue;
        if (there.left() > at.right()) to = std::min(to, there.left());
        if (there.right() < at.left()) from = std::max(from, there.right() + 1);
    }
    return {std::min(from, at.left()), std::max(to, at.right() + 1)};
}

void WidenIntoFreeSpace(QWidget& control, int needed) {
    const auto* label = qobject_cast<const QLabel*>(&control);
    if (!label && !qobject_cast<const QCheckBox*>(&control)) return;  // buttons keep their size
    const auto [from, to] = FreeSpan(control);
    QRect at = control.geometry();
    const int missing = needed - at.width();
    if (label && (label->alignment() & Qt::AlignHCenter)) {
        const int side = std::min({(missing + 1) / 2, at.left() - from, to - at.right() - 1});
        at.adjust(-side, 0, side, 0);
    } else {
        at.setRight(std::min(at.right() + missing, to - 1));
    }
    control.setGeometry(at);
}

}  // namespace

int CaptionWidth(const QWidget& control) {
    // A label's or a check box's size hint is what the style needs for its whole caption.
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text().isEmpty() ? 0 : label->sizeHint().width();
    if (const auto* check = qobject_cast<const QCheckBox*>(&control))
        return check->text().isEmpty() ? 0 : check->sizeHint().width();
    // A push button's hint adds a minimum width; only its text and margins must fit.
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        if (button->text().isEmpty()) return 0;
        const QStyle* style = control.style();
        return control.fontMetrics().horizontalAdvance(button->text()) +
               style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &control) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control);
    }
    return 0;
}

void FitCaptions(QWidget& window) {
    constexpr double kSmallestPoints = 8;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        QFont font = control->font();
        while (CaptionWidth(*control) > control->width() && font.pointSizeF() > kSmallestPoints) {
            font.setPointSizeF(std::max(kSmallestPoints, font.pointSizeF() - 0.25));
            control->setFont(font);
        }
        if (CaptionWidth(*control) > control->width())
            WidenIntoFreeSpace(*control, CaptionWidth(*control));
    }
}

void UseReadableRows(QAbstractItemView& view) {
    view.setItemDelegate(new ReadableRowDelegate(&view));
}

void PressFocusedButtonWithEnter(QWidget& window) {
    // Outside dialogs Qt's push buttons take Enter only when they are "auto default".
    for (QPushButton* button : window.findChildren<QPushButton*>()) button->setAutoDefault(true);
}

}  // namespace scene
