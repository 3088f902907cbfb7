// Vandrel, the WRL placement tool's window: the model folder with "Fix WRLs" on the left, the
// placement source with the mode check boxes and the manual fields in the middle, the list
// file's names and "Duplicate" on the right, "Exit Vandrel" below. F5 reads the drive, folder
// and file lists again; F1 shows the user guide; F6 the plan of placements.
#pragma once

#include <QWidget>
#include <string>

#include "duplicate_inputs.hpp"
#include "messages.hpp"
#include "plan.hpp"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace scene {
class ClientArea;
class DriveList;
class FileList;
class FolderList;
class PlanLink;

class Vandrel : public QWidget {
    Q_OBJECT
  public:
    // Builds the controls and runs Form_Load. Every message box and run-time error report of
    // the window goes to the sink.
    explicit Vandrel(MessageSink& sink, QWidget* parent = nullptr);

  private:
    void CreateModelColumn();
    void CreateSourceColumn();
    void CreateListColumn();
    void ConnectHandlers();
    void LinkPlan();
    DuplicateInputs GatherInputs() const;
    void ShowInPreview(const PlannedPlacement& placement);

    void Form_Load();
    void Check2_Click();
    void Check4_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void TSOfolder_Click();
    void ReloadLists();

    void SetSourcePattern(const std::string& pattern);

    MessageSink& sink_;
    ClientArea* client_;  // holds every control below
    PlanLink* plan_;      // F6: the plan of placements

    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label2;
    DriveList* Drive1;
    FolderList* Dir1;
    FileList* WRLfolder;
    QCheckBox* Check1;
    QPushButton* Command1;

    QGroupBox* Frame2;
    QLabel* Label3;
    DriveList* Drive2;
    FolderList* Dir2;
    FileList* TSOfolder;
    QGroupBox* Frame4;
    QLabel* Label5;
    QLabel* Label6;
    QLineEdit* Text3;
    QLabel* Label7;
    QLineEdit* Text4;
    QLabel* Label8;
    QLineEdit* Text5;
    QLabel* Label9;
    QLineEdit* Text2;
    QLabel* Label10;
    QLineEdit* Text6;
    QCheckBox* Check4;
    QGroupBox* Frame3;
    QCheckBox* Check2;
    QLineEdit* Text1;
    QLabel* Label4;
    QCheckBox* Check3;

    QGroupBox* Frame5;
    QLabel* Label11;
    QListWidget* List1;
    QGroupBox* Frame6;
    QPushButton* Command3;
    QPushButton* Command2;
};

}  // namespace scene
