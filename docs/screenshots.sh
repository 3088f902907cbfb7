#!/usr/bin/env bash
# Renders both windows offscreen into docs/*.png (or OUT_DIR), on a copy of examples/ at
# /tmp/scene so the pictures show the same paths every time.
#   docs/screenshots.sh BUILD_DIR [OUT_DIR]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$1
OUT=${2:-$ROOT/docs}
SCENE=${SCENE_DIR:-/tmp/scene}
mkdir -p "$OUT"
rm -rf "$SCENE"
mkdir -p "$SCENE"
cp -r "$ROOT/examples/models" "$ROOT/examples/lists" "$SCENE/"
export QT_QPA_PLATFORM=offscreen
shot() { "$@" && echo "wrote $2"; }
shot "$BUILD/wrltool/vandrel-screenshot" "$OUT/vandrel.png" "$SCENE/models" "$SCENE/lists"
shot "$BUILD/wrltool/vandrel-screenshot" "$OUT/vandrel-mgp.png" "$SCENE/models" \
    "$SCENE/lists" mgp
shot "$BUILD/wrltool/vandrel-screenshot" "$OUT/vandrel-manual.png" "$SCENE/models" \
    "$SCENE/lists" manual
shot "$BUILD/cameras/oskivo-screenshot" "$OUT/oskivo.png" "$SCENE/lists"
rm -rf "$SCENE"
