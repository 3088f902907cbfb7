// Renders Form1 without a screen into a PNG, for the documentation:
//   oskivo-screenshot OUTPUT.png [FOLDER]
// FOLDER (default: the current folder) is where the window starts; its first point file is
// picked, so that the picture shows the two fields filled.
#include <QApplication>
#include <QPixmap>
#include <filesystem>
#include <iostream>

#include "console_sink.hpp"
#include "file_list.hpp"
#include "form1.hpp"

int main(int argc, char** argv) {
    using namespace scene;
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: oskivo-screenshot OUTPUT.png [FOLDER]\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string output = std::filesystem::absolute(argv[1]).string();
    if (argc == 3) std::filesystem::current_path(argv[2]);

    QApplication app(argc, argv);
    ConsoleSink sink(std::cerr, std::cerr);
    Form1 form(sink);
    form.show();
    auto* files = form.findChild<FileList*>("CamFile");
    if (files && files->ListCount() > 0) files->setCurrentRow(0);
    QApplication::processEvents();
    // The client area whole, as on a screen that holds the window, whatever the screen here.
    auto* client = form.findChild<QWidget*>("ClientArea");
    if (!client || !client->grab().save(QString::fromStdString(output), "PNG")) {
        std::cerr << "cannot write " << output << '\n';
        return 1;
    }
    return sink.ExitStatus();
}
