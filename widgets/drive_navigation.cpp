#include "drive_navigation.hpp"

#include "drive_list.hpp"
#include "folder_list.hpp"
#include "run_handler.hpp"

namespace scene {

void GoToDriveRoot(DriveList& drives, FolderList& folders, MessageSink& sink) {
    RunHandler(sink, [&] {
        try {
            folders.SetPath(drives.RootFolder());
        } catch (const Failure&) {
            drives.SelectDriveOf(folders.Path());
            throw;
        }
    });
}

}  // namespace scene
