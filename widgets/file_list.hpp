// The file list: the files of a folder whose names match a pattern (letter case ignored),
// sorted ignoring letter case. Selecting a name, or clicking the selected one again, reports a
// click. Only picking a name changes the selection: a click beside the names or a Ctrl+click
// on the selected one leaves it as it is.
#pragma once

#include <QListWidget>
#include <string>
#include <vector>

namespace scene {

class FileList : public QListWidget {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }
    // Lists the folder's matching files, none selected. Throws the failure when the folder
    // cannot be listed; the list then stays as it was.
    void SetPath(const std::string& path);

    const std::string& Pattern() const { return pattern_; }
    // Lists the folder's files that match the new pattern, none selected; throws as SetPath.
    void SetPattern(const std::string& pattern);

    // Lists the folder's matching files again, keeping the selected name where it is still
    // listed; reports no click. Throws as SetPath.
    void Reload();

    // The selected name; empty when none is selected.
    std::string FileName() const;
    int ListCount() const { return static_cast<int>(names_.size()); }
    // The name at the 0-based position; the out-of-range failure outside the list.
    const std::string& List(int index) const;

  signals:
    void Click();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  private:
    void Load(const std::string& path, const std::string& pattern);

    std::string path_;
    std::string pattern_ = "*.*";
    std::vector<std::string> names_;
};

}  // namespace scene
