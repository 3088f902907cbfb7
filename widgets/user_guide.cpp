#include "user_guide.hpp"

#include <QImage>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <algorithm>

namespace scene {

namespace {

// Pictures stand two side by side in the guide's width: the wider ones are shown smaller.
class GuideBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

  protected:
    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource) return resource;
        QImage picture = resource.value<QImage>();
        if (picture.isNull()) picture.loadFromData(resource.toByteArray());
        const int widest = std::max(200, (width() - 60) / 2);
        if (picture.width() <= widest) return picture;
        return picture.scaledToWidth(widest, Qt::SmoothTransformation);
    }
};

}  // namespace

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
            QRect placed({}, QSize(std::min(area.width() * 2 / 3, 900), area.height() * 4 / 5));
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
