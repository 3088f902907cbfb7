#include "user_guide.hpp"

#include <QImage>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <algorithm>

namespace scene {

namespace {

// Pictures at their own size, narrowed to the guide's width where they are wider, drawn from
// images in the screen's own pixels so that nothing scales them again.
class GuideBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

  protected:
    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource) return resource;
        QImage picture = resource.value<QImage>();
        if (picture.isNull()) picture.loadFromData(resource.toByteArray());
        if (picture.isNull()) return resource;
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        const int widest =
            contentsRect().width() - scrollBar - 2 * static_cast<int>(document()->documentMargin());
        return ShownPicture(picture, widest, devicePixelRatioF());
    }
};

}  // namespace

QImage ShownPicture(const QImage& picture, int widest, qreal scale) {
    const int shownWidth = std::clamp(widest, 1, picture.width());
    const QSize pixels = (QSizeF(picture.size()) * (shownWidth * scale / picture.width())).toSize();
    QImage shown = picture.convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (shown.size() != pixels)
        shown = shown.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(static_cast<qreal>(pixels.width()) / shownWidth);
    return shown;
}

void AddUserGuide(QWidget& window, const QString& title, const QString& resource) {
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), &window), &QShortcut::activated,
                     &window,
                     [&window, title, resource] { ShowUserGuide(window, title, resource); });
}

QTextBrowser& ShowUserGuide(QWidget& window, const QString& title, const QString& resource) {
    auto* guide = window.findChild<QTextBrowser*>("UserGuide", Qt::FindDirectChildrenOnly);
    if (!guide) {
        guide = new GuideBrowser(&window);
        guide->setObjectName("UserGuide");
        guide->setWindowFlags(Qt::Window);
        guide->setWindowTitle(title);
        guide->setOpenExternalLinks(true);
        QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), guide), &QShortcut::activated,
                         guide, &QWidget::close);
        if (const QScreen* screen = window.screen()) {
            QRect area = screen->availableGeometry();
            // Wide enough for the widest picture (the plans, 1000 pixels) where the screen allows.
            QRect placed({}, QSize(std::min(area.width() * 9 / 10, 1040), area.height() * 4 / 5));
            placed.moveCenter(area.center());
            guide->setGeometry(placed);
        }
        guide->setSource(QUrl(resource), QTextDocument::MarkdownResource);  // sized first
    }
    guide->show();
    guide->raise();
    guide->activateWindow();
    return *guide;
}

}  // namespace scene
