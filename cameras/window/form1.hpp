// Form1, the camera file generator's window: drive, folder and point file lists, the picked
// file's name and point count, "Create File" and "Exit". F5 reads the lists again; F1 shows the
// user guide; F6 where the picked file's cameras start.
#pragma once

#include <QWidget>

#include "messages.hpp"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scene {
class ClientArea;
class DriveList;
class FileList;
class FolderList;

class Form1 : public QWidget {
    Q_OBJECT
  public:
    // Every message box and run-time error report of the window goes to the sink.
    explicit Form1(MessageSink& sink, QWidget* parent = nullptr);

  private:
    void CreateControls(QWidget* client);
    void LinkPlan();
    void Drive1_Change();
    void Dir1_Change();
    void CamFile_Click();
    void Command1_Click();
    void Command2_Click();
    void ReloadLists();

    MessageSink& sink_;
    ClientArea* client_;  // holds every control below
    QLabel* Label1;
    DriveList* Drive1;
    FolderList* Dir1;
    FileList* CamFile;
    QLabel* Label2;
    QLineEdit* Text1;
    QLabel* Label3;
    QLineEdit* Cams;
    QPushButton* Command1;
    QPushButton* Command2;
};

}  // namespace scene
