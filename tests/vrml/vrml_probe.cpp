// Reads a VRML file with Coin3D, a reader independent of the tools, without a display:
//   vrml_probe FILE
// prints "errors N" (every error Coin reports while reading), "box X0 Y0 Z0 X1 Y1 Z1" (Coin's
// bounding box of the scene) and one "point X Y Z" line per point of every coordinate list,
// inlined files included. Exit status 1 when nothing could be read.
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLCoordinate.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/misc/SoChildList.h>
#include <Inventor/nodes/SoSeparator.h>

#include <cstdio>

namespace scene {

namespace {

int errorCount = 0;

void CountError(const SoError* error, void*) {
    ++errorCount;
    std::fprintf(stderr, "%s\n", error->getDebugString().getString());
}

// Every point of every coordinate list beneath the node. Shapes keep their geometry, and
// geometry its coordinates, as hidden children; an inline keeps the file it read.
void PrintPoints(SoNode* node) {
    if (node->isOfType(SoVRMLCoordinate::getClassTypeId())) {
        const SoMFVec3f& points = static_cast<SoVRMLCoordinate*>(node)->point;
        for (int i = 0; i < points.getNum(); ++i)
            std::printf("point %.9g %.9g %.9g\n", points[i][0], points[i][1], points[i][2]);
    }
    if (SoChildList* children = node->getChildren())
        for (int i = 0; i < children->getLength(); ++i) PrintPoints((*children)[i]);
}

}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrml_probe FILE\n");
        return 2;
    }
    SoDB::init();
    SoError::setHandlerCallback(CountError, nullptr);
    SoReadError::setHandlerCallback(CountError, nullptr);
    SoDebugError::setHandlerCallback(CountError, nullptr);

    SoInput input;
    SoSeparator* root = input.openFile(argv[1]) ? SoDB::readAll(&input) : nullptr;
    std::printf("errors %d\n", errorCount);
    if (!root) return 1;
    root->ref();

    SoGetBoundingBoxAction box(SbViewportRegion(640, 480));
    box.apply(root);
    float x0, y0, z0, x1, y1, z1;
    box.getBoundingBox().getBounds(x0, y0, z0, x1, y1, z1);
    std::printf("box %.9g %.9g %.9g %.9g %.9g %.9g\n", x0, y0, z0, x1, y1, z1);

    PrintPoints(root);
    root->unref();
    return 0;
}
