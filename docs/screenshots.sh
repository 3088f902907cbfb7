#!/usr/bin/env bash
# Renders both windows offscreen into docs/*.png (or OUT_DIR), on a copy of examples/ at
# /tmp/scene so the pictures show the same paths every time; then the demo's placed scene,
# drawn by a VRML viewer (view3dscene) on a virtual X display (xvfb-run).
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

# The demo's two scene indexes (the TSO list's houses, the MGP file's towers) together. The
# camera stays on the Z axis; the scene is moved and turned in front of it, to be seen from
# above and from the right. No back faces are hidden: the houses are single faces.
"$ROOT/examples/demo.sh" "$BUILD" "$SCENE/demo" >/dev/null
cat >"$SCENE/demo/view.wrl" <<'EOF'
#VRML V2.0 utf8
Background { skyColor [ 0.23 0.32 0.45 ] }
Viewpoint { position 0 0 36 }
Transform {
  rotation 1 0 0 0.45
  children Transform {
    rotation 0 1 0 -0.5
    children Transform {
      translation -14 -3 9
      children [
        Inline { url "models/newwrls/village.wrl" }
        Inline { url "models/newwrls/site.wrl" }
      ]
    }
  }
}
EOF
mkdir -p "$SCENE/home"  # the viewer keeps a log among the home folder's settings
HOME=$SCENE/home xvfb-run -a -s "-screen 0 1024x768x24" view3dscene "$SCENE/demo/view.wrl" \
    --scene-change-no-solid-objects --geometry 800x450 --anti-alias 4 \
    --screenshot 0 "$OUT/vandrel-scene.png" >/dev/null 2>&1
[ -s "$OUT/vandrel-scene.png" ] || { echo "the viewer wrote no picture" >&2; exit 1; }
echo "wrote $OUT/vandrel-scene.png"
rm -rf "$SCENE"
