// Choosing a drive in a window: its folder list goes to the drive's root folder.
#pragma once

#include "messages.hpp"

namespace scene {

class DriveList;
class FolderList;

// Moves the folder list to the chosen drive's root folder (its change then moves the file
// list). A root that cannot be listed is reported to the sink; both lists stay where they were
// and the drive list turns back to their drive, so that the drive can be chosen again.
void GoToDriveRoot(DriveList& drives, FolderList& folders, MessageSink& sink);

}  // namespace scene
