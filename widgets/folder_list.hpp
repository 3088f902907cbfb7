// The folder list: a folder with its parents above it and its subfolders below it. Opening an
// entry (double click, Enter) makes it the folder; every change of Path is reported.
#pragma once

#include <QTreeWidget>
#include <string>
#include <vector>

#include "messages.hpp"
#include "paths.hpp"  // NormalFolder, FolderChain

namespace scene {

class FolderList : public QTreeWidget {
    Q_OBJECT
  public:
    // Starts at the current folder. Failures of the user's own choices go to the sink.
    explicit FolderList(MessageSink& sink, QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }
    // Lists the folder and reports a change when Path changes. Throws the failure when the
    // folder cannot be listed; the list then stays as it was.
    void SetPath(const std::string& path);

    // Lists the folder again, keeping the highlighted entry where it is still there. A folder
    // gone since goes to the nearest folder above it that can be listed (a change); throws the
    // failure when none can.
    void Reload();

  signals:
    void Change();

  protected:
    // The entries only open; no expand arrows.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

  private:
    MessageSink& sink_;
    std::string path_;
};

}  // namespace scene
