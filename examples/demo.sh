#!/usr/bin/env bash
# Runs Duplicate on a fresh copy of the examples, once from the TSO list and once from the
# MGP point file, each run also writing a scene index that inlines its copies (village.wrl,
# site.wrl), and shows what it made. The examples themselves are never changed.
#   examples/demo.sh BUILD_DIR OUT_DIR
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: examples/demo.sh BUILD_DIR OUT_DIR" >&2
    exit 2
fi
HERE=$(cd "$(dirname "$0")" && pwd)
CLI="$(cd "$1" && pwd)/wrltool/vandrel-cli"
OUT=$2
MARKER=.vandrel-demo-output

# Only a folder that an earlier demo made (or an empty one) is cleared.
if [ -e "$OUT" ]; then
    if [ -e "$OUT/$MARKER" ] || [ -z "$(ls -A "$OUT")" ]; then
        rm -rf -- "$OUT"
    else
        echo "demo: $OUT exists and was not made by the demo; not touching it" >&2
        exit 1
    fi
fi
mkdir -p -- "$OUT"
touch "$OUT/$MARKER"
cp -R -- "$HERE/models" "$HERE/lists" "$OUT/"

run() {
    echo "\$ vandrel-cli $*"
    "$CLI" "$@"
    echo
}

cd "$OUT"
echo "== Three houses from the TSO list (its first record is a comment)"
run duplicate --models models --tso lists/village.txt --scene village
echo "== A tower at every point of the MGP file, each turned 45 degrees"
run duplicate --models models --use-selected tower.wrl --mgp lists/site.mgp --orientation 45 \
    --scene site

echo "== Made in $OUT/models/newwrls (first lines of each copy and scene index)"
for copy in models/newwrls/*.wrl; do
    echo "--- $(basename "$copy")"
    head -n 14 "$copy" | tr -d '\r'
done
echo
echo "== models/tower.wrl has two named nodes: repaired in place before its copies (last lines)"
tail -n 9 models/tower.wrl | tr -d '\r'
