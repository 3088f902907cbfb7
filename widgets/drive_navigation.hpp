// Choosing a drive in a window: its folder list goes to the drive's root folder. F5: a column's
// lists are read again.
#pragma once

#include "messages.hpp"

namespace scene {

class DriveList;
class FileList;
class FolderList;

// Moves the folder list to the chosen drive's root folder (its change then moves the file
// list). A root that cannot be listed is reported to the sink; both lists stay where they were
// and the drive list turns back to their drive, so that the drive can be chosen again.
void GoToDriveRoot(DriveList& drives, FolderList& folders, MessageSink& sink);

// A column's lists linked: choosing a drive goes to its root folder (GoToDriveRoot), and the
// file list follows the folder list; a folder that cannot be listed is reported to the sink.
void LinkColumn(DriveList& drives, FolderList& folders, FileList& files, MessageSink& sink);

// Reads the folder list, the file list and the drive list of a column again, keeping each
// selection whose name is still there (see their Reload); a failure goes to the sink.
void ReloadColumn(DriveList& drives, FolderList& folders, FileList& files, MessageSink& sink);

}  // namespace scene
