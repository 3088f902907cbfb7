#include "drive_list.hpp"

#include <cctype>
#include <utility>

#include "native_text.hpp"
#include "path_syntax.hpp"
#include "system.hpp"

namespace scene {

namespace {

// A drive letter's root ("C:\") shows as its letter in lower case and a colon ("c:"); a
// mount point as it is.
std::string DriveText(const std::string& root) {
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') return root;
    return {static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))), ':'};
}

}  // namespace

std::vector<DriveEntry> MachineDrives() {
    std::vector<DriveEntry> drives;
    for (std::string& root : platform::VolumeRoots()) {
        std::string text = DriveText(root);
        drives.push_back({std::move(text), std::move(root)});
    }
    return drives;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    SetDrives(MachineDrives(), platform::CurrentFolder());
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit Change(); });
}

void DriveList::SetDrives(std::vector<DriveEntry> drives, const std::string& folder) {
    QSignalBlocker quiet(this);
    drives_ = std::move(drives);
    clear();
    for (const DriveEntry& drive : drives_) addItem(ShownText(drive.Text));
    SelectDriveOf(folder);
}

void DriveList::SelectDriveOf(const std::string& folder) {
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < drives_.size(); ++i) {
        const std::string& root = drives_[i].Root;
        bool holds = folder.compare(0, root.size(), root) == 0 &&
                     (folder.size() == root.size() || root.back() == kPathSeparator ||
                      folder[root.size()] == kPathSeparator);
        if (holds && (best < 0 || root.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = root.size();
        }
    }
    QSignalBlocker quiet(this);
    setCurrentIndex(best);
}

void DriveList::Reload(const std::string& folder) {
    const std::string selected = Drive();
    SetDrives(MachineDrives(), folder);
    QSignalBlocker quiet(this);
    for (size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].Text == selected) setCurrentIndex(static_cast<int>(i));
}

std::string DriveList::Drive() const {
    int i = currentIndex();
    return i < 0 ? std::string() : drives_[static_cast<size_t>(i)].Text;
}

std::string DriveList::RootFolder() const {
    int i = currentIndex();
    return i < 0 ? std::string() : drives_[static_cast<size_t>(i)].Root;
}

}  // namespace scene
