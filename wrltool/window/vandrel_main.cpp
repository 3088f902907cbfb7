// VandrelV3: the WRL placement tool's window.
#include "vandrel_window.hpp"
#include "window_program.hpp"

int main(int argc, char** argv) {
    return scene::RunWindowProgram<scene::Vandrel>(
        argc, argv, "VandrelV3",
        "Opens the WRL placement tool's window. It writes placed copies of a VRML model\n"
        "(*.wrl) for every placement of a TSO list, an MGP point file or the manual fields,\n"
        "and repairs exporter-written models in place (Fix WRLs).\n",
        "vandrel-cli");
}
