#!/usr/bin/env bash
# Renders both windows offscreen into docs/*.png, on a copy of examples/ at /tmp/scene so the
# pictures show the same paths every time.
#   docs/screenshots.sh BUILD_DIR
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$1
SCENE=/tmp/scene
rm -rf "$SCENE"
mkdir -p "$SCENE"
cp -r "$ROOT/examples/models" "$ROOT/examples/lists" "$SCENE/"
export QT_QPA_PLATFORM=offscreen
shot() { "$@" && echo "wrote $2"; }
shot "$BUILD/wrltool/vandrel-screenshot" "$ROOT/docs/vandrel.png" "$SCENE/models" "$SCENE/lists"
shot "$BUILD/wrltool/vandrel-screenshot" "$ROOT/docs/vandrel-mgp.png" "$SCENE/models" \
    "$SCENE/lists" mgp
shot "$BUILD/wrltool/vandrel-screenshot" "$ROOT/docs/vandrel-manual.png" "$SCENE/models" \
    "$SCENE/lists" manual
shot "$BUILD/cameras/oskivo-screenshot" "$ROOT/docs/oskivo.png" "$SCENE/lists"
rm -rf "$SCENE"
