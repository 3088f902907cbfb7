#!/usr/bin/env bash
# Instructions per point line of one copy of a 100,000-point model, start-up included, counted by
# callgrind (valgrind): a measure that other work on the machine does not disturb.
#   bench/callgrind_copy.sh [VANDREL_CLI]   (default: build/bench's, built here as compare.sh does)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/bench
POINTS=100000
if [ $# -eq 0 ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DSCENE_TESTS=OFF -DSCENE_BENCH=ON \
        -DSCENE_WITH_GUI=OFF >/dev/null
    cmake --build "$BUILD" -j "$(nproc 2>/dev/null || echo 2)" --target vandrel-cli bench_data \
        >/dev/null
fi
VANDREL=${1:-$BUILD/wrltool/vandrel-cli}
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/models"
"$BUILD/bench/bench_data" model "$POINTS" 10 "$T/models/m.wrl"
"$BUILD/bench/bench_data" tso 1 m "$T/list.txt"
valgrind --tool=callgrind --callgrind-out-file="$T/callgrind.out" "$VANDREL" duplicate --jobs 1 \
    --models "$T/models" --tso "$T/list.txt" >/dev/null 2>&1
total=$(callgrind_annotate "$T/callgrind.out" | sed -n 's/^ *\([0-9,]*\) .*PROGRAM TOTALS.*/\1/p' |
    tr -d ,)
echo "$((total / POINTS)) instructions per point line ($total in all)"
# The functions that take the most, per point line.
callgrind_annotate "$T/callgrind.out" | sed -n 's/^ *\([0-9,]*\) ([ 0-9.]*%) *\(.*\)/\1 \2/p' |
    head -n 12 | while read -r count name; do
    printf "%8d  %s\n" "$(( ${count//,/} / POINTS ))" "$(echo "$name" | cut -c1-110)"
done
