#!/usr/bin/env bash
# The screenshot script renders both windows offscreen, and the demo's placed scene, into
# non-empty PNG images in full colour, as every picture of docs/ is (a palette picture turns
# speckled when it is scaled).
#   screenshots_test.sh BUILD_DIR
set -euo pipefail
docs=$(cd "$(dirname "$0")/../docs" && pwd)
# The colour type of the PNG's header: 2 (RGB) or 6 (RGB and alpha) are full colour.
full_colour() {
    case $(head -c 26 "$1" | tail -c 1 | od -An -tu1 | tr -d ' ') in
        2 | 6) ;;
        *) echo "FAIL: $1 is not in full colour"; exit 1 ;;
    esac
}
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
    full_colour "$file"
done
for file in "$docs"/*.png; do full_colour "$file"; done
echo "1 passed, 0 failed"
