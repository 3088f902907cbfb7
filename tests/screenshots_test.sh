#!/usr/bin/env bash
# The screenshot script renders both windows offscreen, and the demo's placed scene, into
# non-empty PNG images.
#   screenshots_test.sh BUILD_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SCENE_DIR=$work/scene "$(dirname "$0")/../docs/screenshots.sh" "$1" "$work/out" >/dev/null 2>&1 ||
    { echo "FAIL: the screenshot script failed"; exit 1; }
for picture in vandrel vandrel-mgp vandrel-manual oskivo vandrel-scene; do
    file=$work/out/$picture.png
    [ -s "$file" ] || { echo "FAIL: $picture.png is missing or empty"; exit 1; }
    # A PNG begins with its eight-byte signature.
    [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
        { echo "FAIL: $picture.png is no PNG"; exit 1; }
done
echo "1 passed, 0 failed"
