#!/usr/bin/env bash
# Runs the same vandrel-cli and oskivo-cli commands with the Linux programs and, under Wine,
# with the Windows ones, each on its own copy of examples/, and fails on any difference in
# the files they make or change, in what they print and in their exit statuses.
#   tests/compare_windows_cli.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR
# OUT_DIR is made anew; WINEPREFIX and WINEDEBUG come from the caller's environment.
set -euo pipefail
if [ $# -ne 3 ]; then
    echo "usage: tests/compare_windows_cli.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR" >&2
    exit 2
fi
ROOT=$(cd "$(dirname "$0")/.." && pwd)
LINUX_BUILD=$(cd "$1" && pwd)
WINDOWS_BUILD=$(cd "$2" && pwd)
OUT=$3

# An exporter-written model of two blocks, so that fix-wrls has a seam to join.
exported_model() {
    local line
    local lines=("# Produced by QLib's VRML export, version 2")
    for body in "   A" "   B"; do
        lines+=("DEF MASTER Transform {" " children [" " DEF VRL_box_vrl Transform {"
                "  children [" "DEF MESH_box Transform {" "  children [" "$body"
                "   ]" "}" " ] }" " ] }")
    done
    for line in "${lines[@]}"; do printf '%s\r\n' "$line"; done
}

# Forty placements at the origin turned by uneven angles about all three axes: there every
# last digit of a sine or cosine shows in the copies.
turns_list() {
    local i
    for ((i = 0; i < 40; i++)); do
        printf 'house,0,0,0,%s,%s,%s\r\n' "$((9 * i))" "$((73 * i)).5" "-$((111 * i)).25"
    done
}

# Names beyond ASCII, in UTF-8: a Greek folder holding models named in Latin-1 letters and CJK
# characters and an exporter model, and a UTF-8 list naming them.
GREEK=$'\xce\xa9dir'                      # Omega
CJK=$'\xe6\x97\xa5\xe6\x9c\xac'      # two CJK characters
CAFE=$'caf\xc3\xa9' MULL=$'M\xc3\xbcll'

prepare() {
    local dir=$1
    mkdir -p "$dir/printed" "$dir/exported" "$dir/turns" "$dir/$GREEK"
    cp -R "$ROOT/examples/models" "$ROOT/examples/lists" "$dir/"
    exported_model >"$dir/exported/box.wrl"
    cp "$ROOT/examples/models/house.wrl" "$dir/exported/"  # no exporter header: counted
    cp "$ROOT/examples/models/house.wrl" "$dir/turns/"
    turns_list >"$dir/lists/turns.txt"
    local name
    for name in "$CAFE" "$MULL" "$CJK"; do cp "$ROOT/examples/models/house.wrl" "$dir/$GREEK/$name.wrl"; done
    exported_model >"$dir/$GREEK/$CJK-exported.wrl"
    printf '%s,1,2,3,0,0,0\r\n' "$CAFE" "$MULL" "$CJK" >"$dir/$GREEK/names.txt"
}

# run SIDE NAME TOOL ARGS...: runs in SIDE's copy and keeps what the run printed and its exit
# status under printed/NAME. The Windows side gets its paths with "\" and prints text-mode
# line ends, CR LF; its error reports name paths with "\".
run() {
    local side=$1 name=$2 tool=$3
    shift 3
    local dir="$OUT/$side" status=0
    if [ "$side" = linux ]; then
        (cd "$dir" && "$LINUX_BUILD/$tool" "$@") >"$dir/printed/$name.out" \
            2>"$dir/printed/$name.err" || status=$?
    else
        local args=() arg
        for arg in "$@"; do args+=("${arg//\//\\}"); done
        (cd "$dir" && wine "$WINDOWS_BUILD/$tool.exe" "${args[@]}") >"$dir/printed/$name.out" \
            2>"$dir/printed/$name.err" || status=$?
        sed -i 's/\r$//' "$dir/printed/$name.out" "$dir/printed/$name.err"
        sed -i 's|\\|/|g' "$dir/printed/$name.err"
    fi
    echo "$status" >"$dir/printed/$name.status"
}

rm -rf -- "$OUT"
for side in linux windows; do
    prepare "$OUT/$side"
    run $side 1-duplicate-tso wrltool/vandrel-cli duplicate --models models --tso lists/village.txt
    run $side 2-duplicate-mgp wrltool/vandrel-cli duplicate --models models \
        --use-selected tower.wrl --mgp lists/site.mgp --orientation 45
    run $side 3-duplicate-manual wrltool/vandrel-cli duplicate --models models \
        --use-selected house.wrl --manual shed 3.25 -1 7.5 30
    run $side 4-duplicate-turns wrltool/vandrel-cli duplicate --models turns --tso lists/turns.txt
    run $side 4-fix-wrls wrltool/vandrel-cli fix-wrls exported
    run $side 5-preview wrltool/vandrel-cli preview lists/village.txt
    run $side 6-preview-absent wrltool/vandrel-cli preview lists/absent.txt
    run $side 7-check cameras/oskivo-cli check lists/site.mgp
    run $side 8-generate cameras/oskivo-cli generate lists/site.mgp
    run $side 9-duplicate-names wrltool/vandrel-cli duplicate --models "$GREEK" \
        --tso "$GREEK/names.txt"
    run $side 9-fix-wrls-names wrltool/vandrel-cli fix-wrls "$GREEK"
    run $side 9-preview-names wrltool/vandrel-cli preview "$GREEK/names.txt"
    run $side 9-manual-names wrltool/vandrel-cli duplicate --models "$GREEK" \
        --use-selected "$CJK.wrl" --manual "$MULL" 0 0 0 0
done

# The runs did their work: copies, a repaired model, a camera file.
copies=$(find "$OUT/linux/models/newwrls" "$OUT/linux/turns/newwrls" "$OUT/linux/$GREEK/newwrls" \
    -name '*.wrl' | wc -l)
if [ "$copies" -ne 52 ] || [ ! -s "$OUT/linux/lists/site.txt" ] ||
    cmp -s "$OUT/linux/exported/box.wrl" <(exported_model); then
    echo "compare: the Linux runs did not make what they should (see $OUT/linux)" >&2
    exit 1
fi
if ! diff -r "$OUT/linux" "$OUT/windows"; then
    echo "compare: the Windows programs differ from the Linux ones (see $OUT)" >&2
    exit 1
fi
echo "compare: the Windows programs made the same $(find "$OUT/linux" -type f | wc -l) files," \
    "byte for byte, as the Linux ones"
