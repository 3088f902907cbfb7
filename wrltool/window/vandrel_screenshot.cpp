// Renders the Vandrel window without a screen into a PNG, for the documentation:
//   vandrel-screenshot OUTPUT.png MODELS LISTS [tso|mgp|manual]
// The window starts at the model folder MODELS; the middle column is opened at LISTS and its
// first list file picked, so that List1 shows its names. "mgp" then sets "Use MGP files" with
// the first point file, the first model and an orientation angle; "manual" sets " Manual Mode"
// and fills the fields. Without a mode the picture shows the start state.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <filesystem>
#include <iostream>

#include "console_sink.hpp"
#include "file_list.hpp"
#include "folder_list.hpp"
#include "vandrel_window.hpp"

namespace scene {

namespace {

void PickFirst(FileList* files) {
    if (files && files->ListCount() > 0) files->setCurrentRow(0);
}

void Check(QWidget& window, const char* name) {
    if (auto* check = window.findChild<QCheckBox*>(name)) check->setChecked(true);
}

void Type(QWidget& window, const char* name, const char* text) {
    if (auto* field = window.findChild<QLineEdit*>(name)) field->setText(text);
}

// The window as the picture shows it: the list folder opened and its first file picked, and the
// mode's controls set.
void SetUp(Vandrel& window, ConsoleSink& sink, const std::string& lists, const std::string& mode) {
    if (auto* folders = window.findChild<FolderList*>("Dir2"))
        RunReported(sink, [&] { folders->SetPath(lists); });
    auto* sources = window.findChild<FileList*>("TSOfolder");
    PickFirst(sources);
    if (mode == "mgp") {
        Check(window, "Check2");
        PickFirst(sources);
        Check(window, "Check1");
        PickFirst(window.findChild<FileList*>("WRLfolder"));
        Check(window, "Check3");
        Type(window, "Text1", "45");
    } else if (mode == "manual") {
        Check(window, "Check4");
        Type(window, "Text2", "house");
        Type(window, "Text3", "10");
        Type(window, "Text5", "-4");
        Type(window, "Text6", "90");
    }
}

}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
    const std::string mode = argc == 5 ? argv[4] : "tso";
    if (argc < 4 || argc > 5 || (mode != "tso" && mode != "mgp" && mode != "manual")) {
        std::cerr << "usage: vandrel-screenshot OUTPUT.png MODELS LISTS [tso|mgp|manual]\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string output = std::filesystem::absolute(argv[1]).string();
    const std::string lists = std::filesystem::absolute(argv[3]).string();
    std::filesystem::current_path(argv[2]);

    QApplication app(argc, argv);
    ConsoleSink sink(std::cerr, std::cerr);
    Vandrel window(sink);
    window.show();
    SetUp(window, sink, lists, mode);
    QApplication::processEvents();
    // The client area whole, as on a screen that holds the window, whatever the screen here.
    auto* client = window.findChild<QWidget*>("ClientArea");
    if (!client || !client->grab().save(QString::fromStdString(output), "PNG")) {
        std::cerr << "cannot write " << output << '\n';
        return 1;
    }
    return sink.ExitStatus();
}
