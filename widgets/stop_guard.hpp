// A command runs on the window's thread, and the window answers events only while the command
// lets them through (its progress display does, a few dozen times a second). Meanwhile the
// window takes no input, which would start handlers inside the command; only the user's wish to
// stop gets through: Escape, or closing the window.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace scene {

class StopGuard : public QObject {
  public:
    // `stop` is called with true when the user closed the window, false for Escape. While it
    // lives, the guard watches the program's events for those of the window; it lives as the
    // window's child at the longest.
    StopGuard(QWidget& window, std::function<void(bool closing)> stop);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    std::function<void(bool closing)> stop_;
};

}  // namespace scene
