#include "drive_navigation.hpp"

#include "drive_list.hpp"
#include "file_list.hpp"
#include "folder_list.hpp"
#include "messages.hpp"

namespace scene {

void GoToDriveRoot(DriveList& drives, FolderList& folders, MessageSink& sink) {
    RunReported(sink, [&] {
        try {
            folders.SetPath(drives.RootFolder());
        } catch (const Failure&) {
            drives.SelectDriveOf(folders.Path());
            throw;
        }
    });
}

void LinkColumn(DriveList& drives, FolderList& folders, FileList& files, MessageSink& sink) {
    QObject::connect(&drives, &DriveList::Change, &folders,
                     [&] { GoToDriveRoot(drives, folders, sink); });
    QObject::connect(&folders, &FolderList::Change, &files,
                     [&] { RunReported(sink, [&] { files.SetPath(folders.Path()); }); });
}

void ReloadColumn(DriveList& drives, FolderList& folders, FileList& files, MessageSink& sink) {
    RunReported(sink, [&] {
        folders.Reload();  // a folder gone moves the file list too
        files.Reload();
        drives.Reload(folders.Path());
    });
}

}  // namespace scene
