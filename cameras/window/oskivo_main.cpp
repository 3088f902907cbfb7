// Oskivo: the camera file generator's window.
#include "form1.hpp"
#include "window_program.hpp"

int main(int argc, char** argv) {
    return scene::RunWindowProgram<scene::Form1>(
        argc, argv, "Oskivo",
        "Opens the camera file generator's window. It checks an MGP point file and writes its\n"
        "camera definition file (NAME.txt) beside it.\n",
        "oskivo-cli");
}
