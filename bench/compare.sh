#!/usr/bin/env bash
# End-to-end speed and memory of the command-line programs on generated data, side by side
# with the I/O floor (cat) and a hand-written awk transform. Run as ./run.sh bench.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/bench
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DSCENE_TESTS=OFF -DSCENE_BENCH=ON \
    -DSCENE_WITH_GUI=OFF >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target vandrel-cli oskivo-cli bench_data micro_bench \
    number_check >/dev/null

VANDREL=$BUILD/wrltool/vandrel-cli
OSKIVO=$BUILD/cameras/oskivo-cli
DATA=$BUILD/bench/bench_data
AWK_SCRIPT=$ROOT/bench/transform.awk
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

now() { date +%s.%N; }
# seconds COMMAND...: runs it once, output discarded, prints the wall time.
seconds() {
    local start end
    sync  # earlier output still being written to disk would slow this run down
    start=$(now)
    "$@" >/dev/null
    end=$(now)
    echo "$end - $start" | bc -l
}
# best3 COMMAND...: the shortest of three runs, so that a passing disk flush does not count.
best3() {
    local best t
    best=$(seconds "$@")
    for _ in 1 2; do
        t=$(seconds "$@")
        best=$(echo "if ($t < $best) $t else $best" | bc -l)
    done
    echo "$best"
}
# timed_fresh RUNS OUTPUT COMMAND...: the best of RUNS runs, each into an output folder removed
# before it (a run that replaces earlier copies costs more); prints "WALL CPU" of that run.
timed_fresh() {
    local runs=$1 output=$2 best="" cpu="" wall user sys
    shift 2
    for ((run = 0; run < runs; run++)); do
        rm -rf "$output"
        sync
        /usr/bin/time -o "$T/time" -f "%e %U %S" "$@" >/dev/null
        read -r wall user sys <"$T/time"
        if [ -z "$best" ] || [ "$(echo "$wall < $best" | bc -l)" = 1 ]; then
            best=$wall
            cpu=$(echo "$user + $sys" | bc -l)
        fi
    done
    echo "$best $cpu"
}
fmt() { printf "%.${2:-2}f" "$1"; }
thousands() { echo "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'; }
div() { echo "$1 / $2" | bc -l; }
row() { printf "| %-34s | %14s | %10s | %10s | %10s |\n" "$@"; }

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "Date: $(date -u +%Y-%m-%d)"
echo
row "case" "rate" "seconds" "÷ cat" "awk ÷ ours"
row "---" "---" "---" "---" "---"

# Duplicate: POINTS × PLACEMENTS, with angles on every placement.
duplicate_case() {
    local points=$1 placements=$2 label=$3 awk_runs=$4
    local dir=$T/dup-$points
    mkdir -p "$dir/models"
    "$DATA" model "$points" 10 "$dir/models/m.wrl"
    "$DATA" tso "$placements" m "$dir/list.txt"
    local ours cat_time awk_time total
    ours=$(best3 "$VANDREL" duplicate --models "$dir/models" --tso "$dir/list.txt")
    cat_time=$(best3 sh -c "cat '$dir'/models/newwrls/* > '$dir/cat.out'")
    # The awk yardstick over the first AWK_RUNS placements, scaled to all of them.
    awk_time=$(seconds sh -c "for i in \$(seq $awk_runs); do
        awk -v x=12.5 -v y=1 -v z=-3 -v o=30 -v az=10 -v ax=5 -v tag=m_\$i \
            -f '$AWK_SCRIPT' '$dir/models/m.wrl' > '$dir/awk.out'; done")
    awk_time=$(echo "$awk_time * $placements / $awk_runs" | bc -l)
    total=$((points * placements))
    row "$label" "$(fmt "$(div "$total" "$ours/1000000")") M pt/s" "$(fmt "$ours" 3)" \
        "$(fmt "$(div "$ours" "$cat_time")" 1)" "$(fmt "$(div "$awk_time" "$ours")" 1)"
    rm -rf "$dir"
}
duplicate_case 1000000 1 "Duplicate 1,000,000 points × 1" 1
duplicate_case 10000 1000 "Duplicate 10,000 points × 1,000 *" 100

# Fix WRLs over 100 exporter models of 1 MB.
mkdir -p "$T/fix"
"$DATA" exporter 100 1000000 "$T/fix"
mb=$(du -sm "$T/fix" | cut -f1)
fix=$(seconds "$VANDREL" fix-wrls "$T/fix")  # once: a second run would find no seams
row "Fix WRLs 100 files × 1 MB" "$(fmt "$(div "$mb" "$fix")" 0) MB/s" "$(fmt "$fix" 3)" "" ""
rm -rf "$T/fix"

# Camera file from 32,767 points.
"$DATA" mgp 32767 "$T/site.mgp"
cam=$(best3 "$OSKIVO" generate "$T/site.mgp")
row "Cameras from 32,767 points" "$(fmt "$(div 32767 "$cam/1000000")") M pt/s" "$(fmt "$cam" 3)" \
    "" ""

# The plan of a run against its dry run, which reads and decides the same: 20,000 placements
# of a 100,000-point model.
mkdir -p "$T/plan/models"
"$DATA" model 100000 10 "$T/plan/models/m.wrl"
"$DATA" tso 20000 m "$T/plan/list.txt"
plan_inputs=(--models "$T/plan/models" --tso "$T/plan/list.txt")
dry=$(best3 "$VANDREL" duplicate --dry-run "${plan_inputs[@]}")
plan=$(best3 "$VANDREL" plan "${plan_inputs[@]}" -o "$T/plan/plan.svg")
row "Dry run 20,000 × 100,000 points" "$(fmt "$(div 20000 "$dry")" 0) placements/s" \
    "$(fmt "$dry" 3)" "" ""
row "Plan 20,000 × 100,000 points" "$(fmt "$(div 20000 "$plan")" 0) placements/s" \
    "$(fmt "$plan" 3)" "" ""
echo "plan ÷ dry run: $(fmt "$(div "$plan" "$dry")" 2)"
# The list repeats 1,020 turns, whose copies share the search for their outlines' corners; with
# a turn of its own for every placement (a thousandth of a degree apart) nothing is shared.
awk -F', ' -v OFS=', ' 'NR > 1 { $5 += NR / 1000 } 1' "$T/plan/list.txt" >"$T/plan/own.txt"
own=$(best3 "$VANDREL" plan --models "$T/plan/models" --tso "$T/plan/own.txt" -o "$T/plan/own.svg")
row "Plan, every turn its own" "$(fmt "$(div 20000 "$own")" 0) placements/s" "$(fmt "$own" 3)" \
    "" ""
peak=$( { /usr/bin/time -f %M "$VANDREL" plan "${plan_inputs[@]}" -o "$T/plan/plan.svg" \
    >/dev/null; } 2>&1 | tail -1)
row "Peak memory, plan of 20,000" "$(fmt "$(div "$peak" 1024)" 1) MiB" "" "" ""
rm -rf "$T/plan"

# Peak memory of Duplicate on a model of about 200 MB.
mkdir -p "$T/mem/models"
"$DATA" model 4700000 50 "$T/mem/models/m.wrl"
"$DATA" tso 1 m "$T/mem/list.txt"
size=$(du -m "$T/mem/models/m.wrl" | cut -f1)
peak=$( { /usr/bin/time -f %M "$VANDREL" duplicate --models "$T/mem/models" \
    --tso "$T/mem/list.txt" >/dev/null; } 2>&1 | tail -1)
row "Peak memory, Duplicate of $size MB" "$(fmt "$(div "$peak" 1024)" 1) MiB" "" "" ""

echo
echo "Scale: cost per placement, memory per model size, cores in use"
echo
row "case" "rate" "seconds" "" ""
row "---" "---" "---" "" ""

# Placements of one small model: the cost of a copy must not grow with the run.
declare -A placed
for n in 2000 20000; do
    dir=$T/placements-$n
    mkdir -p "$dir/models"
    cp "$ROOT/examples/models/house.wrl" "$dir/models/"
    "$DATA" tso "$n" house "$dir/list.txt"
    # Five runs: this virtual disk stalls now and then for a second.
    read -r wall _ < <(timed_fresh 5 "$dir/models/newwrls" "$VANDREL" duplicate --jobs 1 \
        --models "$dir/models" --tso "$dir/list.txt")
    placed[$n]=$wall
    row "Duplicate $(thousands "$n") × house.wrl, 1 job" "$(fmt "$(div "$n" "$wall")" 0) copies/s" \
        "$(fmt "$wall" 3)" "" ""
    rm -rf "$dir"
done
echo "t(20,000) ÷ t(2,000): $(fmt "$(div "${placed[20000]}" "${placed[2000]}")" 1)"
echo

# Two jobs against one where copies are small: tiny models are copied on the run's own thread
# (two jobs must be no slower), 100-point models gain from the second core. On tmpfs where
# there is one: this virtual disk's stalls would drown the difference.
scratch=$T
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=$(mktemp -d /dev/shm/bench.XXXXXX)
for model in house 100; do
    dir=$scratch/small-$model
    mkdir -p "$dir/models"
    if [ "$model" = house ]; then
        cp "$ROOT/examples/models/house.wrl" "$dir/models/m.wrl"
        n=20000
    else
        "$DATA" model 100 10 "$dir/models/m.wrl"
        n=5000
    fi
    "$DATA" tso "$n" m "$dir/list.txt"
    label="$(thousands "$n") × $( [ "$model" = house ] && echo house.wrl || echo 100 points)"
    declare -A small=()
    for jobs in 1 2; do
        read -r wall _ < <(timed_fresh 5 "$dir/models/newwrls" "$VANDREL" duplicate \
            --jobs "$jobs" --models "$dir/models" --tso "$dir/list.txt")
        small[$jobs]=$wall
        row "$label, $jobs job(s)" "$(fmt "$(div "$n" "$wall")" 0) copies/s" "$(fmt "$wall" 3)" \
            "" ""
    done
    echo "$label: wall time with 1 job ÷ with 2: $(fmt "$(div "${small[1]}" "${small[2]}")" 2)"
    rm -rf "$dir"
done
[ "$scratch" = "$T" ] || rm -rf "$scratch"
echo

# Every core: 1,000 copies of a 10,000-point model, one job and all of them.
dir=$T/cores
mkdir -p "$dir/models"
"$DATA" model 10000 10 "$dir/models/m.wrl"
"$DATA" tso 1000 m "$dir/list.txt"
read -r one one_cpu < <(timed_fresh 3 "$dir/models/newwrls" "$VANDREL" duplicate --jobs 1 \
    --models "$dir/models" --tso "$dir/list.txt")
read -r all all_cpu < <(timed_fresh 3 "$dir/models/newwrls" "$VANDREL" duplicate \
    --models "$dir/models" --tso "$dir/list.txt")
row "1,000 × 10,000 points, --jobs 1" "$(fmt "$(div "$one_cpu" "$one")" 2) CPU÷wall" \
    "$(fmt "$one" 3)" "" ""
row "1,000 × 10,000 points, $JOBS jobs" "$(fmt "$(div "$all_cpu" "$all")" 2) CPU÷wall" \
    "$(fmt "$all" 3)" "" ""
echo "wall time with 1 job ÷ with $JOBS: $(fmt "$(div "$one" "$all")" 2)"
rm -rf "$dir"
echo

# Peak memory of Fix WRLs on one exporter model of about 400 MB.
mkdir -p "$T/fixbig"
"$DATA" exporter 1 400000000 "$T/fixbig"
size=$(du -m "$T/fixbig/part0.wrl" | cut -f1)
peak=$( { /usr/bin/time -f %M "$VANDREL" fix-wrls "$T/fixbig" >/dev/null; } 2>&1 | tail -1)
row "Peak memory, Fix WRLs of $size MB" "$(fmt "$(div "$peak" 1024)" 1) MiB" "" "" ""
rm -rf "$T/fixbig"

# The number path against printf and strtod, over many more values than the tests take.
echo
"$BUILD/bench/number_check" 5000000
