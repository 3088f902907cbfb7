// A main window whose title bar shows no text, while the program's message boxes carry its name.
#pragma once

class QWidget;

namespace scene {

// For an empty title Qt shows the program's name in the title bar, so the window's title as the
// system sees it becomes one blank; windowTitle() stays empty. Creates the native window.
void ShowBlankTitle(QWidget& window);

}  // namespace scene
