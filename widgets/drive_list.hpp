// The drive list: the machine's drives (drive letters on Windows, the mounted volumes' root
// folders elsewhere). Choosing one reports a change; its root folder is where a folder list
// goes then.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

namespace scene {

struct DriveEntry {
    std::string Text;  // what the list shows: "c:" or a mount point
    std::string Root;  // the drive's root folder
};

// The drives of this machine.
std::vector<DriveEntry> MachineDrives();

class DriveList : public QComboBox {
    Q_OBJECT
  public:
    // Lists the machine's drives with the current folder's drive selected.
    explicit DriveList(QWidget* parent = nullptr);

    // Replaces the entries and selects the drive of `folder`; reports no change.
    void SetDrives(std::vector<DriveEntry> drives, const std::string& folder);
    // Selects the drive that holds the folder (the longest root it begins with); no change.
    void SelectDriveOf(const std::string& folder);
    // Lists the machine's drives again, keeping the selected one where it is still there, else
    // selecting the drive of `folder`; no change.
    void Reload(const std::string& folder);

    // The selected entry's text and root folder; empty when the list is empty.
    std::string Drive() const;
    std::string RootFolder() const;

  signals:
    // Another drive was selected.
    void Change();

  private:
    std::vector<DriveEntry> drives_;
};

}  // namespace scene
