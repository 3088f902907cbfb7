// F1 shows a window's user guide, with its pictures, in a window of its own: a Markdown file
// among the program's resources, so that it needs no file beside the program.
#pragma once

#include <QImage>
#include <QString>

class QTextBrowser;
class QWidget;

namespace scene {

// F1 on the window shows the guide `resource` ("qrc:/guide/NAME.md"; its pictures beside it)
// under the title.
void AddUserGuide(QWidget& window, const QString& title, const QString& resource);

// A guide's picture as shown: its own width, or `widest` pixels where it is wider, in the
// device pixels of `scale` (the screen's pixels per pixel), smoothly scaled from full colour.
QImage ShownPicture(const QImage& picture, int widest, qreal scale);

// Shows the guide, opening its window the first time; that window belongs to `window`.
QTextBrowser& ShowUserGuide(QWidget& window, const QString& title, const QString& resource);

}  // namespace scene
