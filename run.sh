#!/usr/bin/env bash
# One entry point for newcomers and CI: installs what is missing, builds, runs.
#   ./run.sh demo      build and run Duplicate on a copy of examples/
#   ./run.sh test      build with sanitizers, run every test and each fuzz target briefly
#   ./run.sh fuzz [S]  build the fuzz targets with clang and run each for S seconds (60)
#   ./run.sh vandrel   start the WRL placement tool
#   ./run.sh oskivo    start the camera file generator
#   ./run.sh bench     measure speed and memory on generated data
#   ./run.sh install PREFIX   install the programs, desktop entries and docs under PREFIX
#   ./run.sh screenshots      render both windows and the demo's placed scene into docs/*.png
#   ./run.sh windows   build everything for Windows with its installer, test it under Wine
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

# help2man writes the manual pages at build time and cmark-gfm the HTML user guides; dpkg-dev
# and file let CPack compute the Debian package's dependencies; libcoin-dev is the VRML reader
# the tests load every copy with (tests/vrml); libqhull-dev gives the 3-D hulls of models (the
# plan of a run); xmllint reads the plan's SVG pictures back.
PACKAGES=(cmake g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev libcli11-dev
          libfast-float-dev libbenchmark-dev desktop-file-utils help2man cmark-gfm dpkg-dev file
          libcoin-dev libqhull-dev libxml2-utils)

# The picture of the placed scene: a VRML viewer on a virtual X display with software OpenGL.
PICTURE_PACKAGES=(view3dscene xvfb xauth libgl1-mesa-dri)

install_missing() {
    local missing=()
    for pkg in "${PACKAGES[@]}" "$@"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}

build_release() { build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DSCENE_TESTS=OFF; }

# Each fuzz target and the folders of inputs it starts from: its seeds and fitting examples.
FUZZ_TARGETS=(
    "text_lines fuzz/seeds/lines fuzz/seeds/tso examples/lists"
    "tso_list fuzz/seeds/tso examples/lists"
    "mgp_placements fuzz/seeds/mgp examples/lists"
    "parse_number fuzz/seeds/numbers"
    "write_copy fuzz/seeds/models examples/models"
    "repair fuzz/seeds/models examples/models"
    "fix_wrls fuzz/seeds/exporter"
    "camera_file fuzz/seeds/mgp examples/lists"
)
FUZZ_BUILD=$ROOT/build/fuzz

# The fuzz targets need clang with its libFuzzer runtime, which comes in the package of clang's
# own major version; the normal build never does.
build_fuzz() {
    install_missing clang
    local version
    version=$(clang --version | sed -n 's/.*clang version \([0-9]*\)\..*/\1/p' | head -n 1)
    [ -n "$version" ] || { echo "no version in: $(clang --version | head -n 1)" >&2; exit 1; }
    install_missing "libclang-rt-$version-dev"
    cmake -S "$ROOT" -B "$FUZZ_BUILD" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENE_FUZZ=ON -DSCENE_WITH_GUI=OFF \
        -DSCENE_TESTS=OFF >/dev/null
    cmake --build "$FUZZ_BUILD" --target fuzzers -j "$JOBS"
}

# fuzz_target "NAME SEED_DIR..." SECONDS CORPUS_ROOT: new inputs go to CORPUS_ROOT/NAME, a
# finding to build/fuzz/findings/NAME-*, the output to build/fuzz/logs/NAME.log.
fuzz_target() {
    local entry=($1) seconds=$2
    local name=${entry[0]} corpus=$3/${entry[0]} seeds=() dir
    for dir in "${entry[@]:1}"; do seeds+=("$ROOT/$dir"); done
    mkdir -p "$corpus" "$FUZZ_BUILD/findings" "$FUZZ_BUILD/logs"
    # The targets write their input as a file every run: in memory when possible.
    local scratch=${TMPDIR:-/tmp}
    [ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
    # Every run opens files with large buffers; a smaller quarantine of freed memory (still
    # catching use after free) roughly doubles the runs per second.
    TMPDIR=$scratch ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16} \
        "$FUZZ_BUILD/fuzz/fuzz_$name" "$corpus" "${seeds[@]}" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -dict="$ROOT/fuzz/markers.dict" \
        -artifact_prefix="$FUZZ_BUILD/findings/$name-" -print_final_stats=1 \
        >"$FUZZ_BUILD/logs/$name.log" 2>&1
}

# fuzz_all SECONDS CORPUS_ROOT: every target, two at a time (the machine is shared); fails
# when any target found something.
fuzz_all() {
    local seconds=$1 corpus=$2 failed=0 i j entry
    for ((i = 0; i < ${#FUZZ_TARGETS[@]}; i += 2)); do
        local pids=() names=()
        for entry in "${FUZZ_TARGETS[@]:i:2}"; do
            fuzz_target "$entry" "$seconds" "$corpus" &
            pids+=($!)
            names+=("${entry%% *}")
        done
        for j in "${!pids[@]}"; do
            local log=$FUZZ_BUILD/logs/${names[j]}.log
            if wait "${pids[j]}"; then
                echo "fuzz_${names[j]}: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")," \
                    "no finding"
            else
                echo "fuzz_${names[j]}: FINDING, see $log and $FUZZ_BUILD/findings/" >&2
                tail -n 30 "$log" >&2
                failed=1
            fi
        done
    done
    return $failed
}

cmd=${1:-help}
[ $# -gt 0 ] && shift
case "$cmd" in
    test)
        # The packaging test checks the .deb and its metadata; the screenshot script is tested
        # too.
        install_missing lintian appstream "${PICTURE_PACKAGES[@]}"
        build "$ROOT/build/test" -DCMAKE_BUILD_TYPE=Debug -DSCENE_SANITIZE=ON -DSCENE_WERROR=ON
        cd "$ROOT/build/test"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS" "$@"
        # The parallel code once more under ThreadSanitizer, which needs a build of its own.
        cmake -S "$ROOT" -B "$ROOT/build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENE_TSAN=ON \
            -DSCENE_WITH_GUI=OFF >/dev/null
        cmake --build "$ROOT/build/tsan" -j "$JOBS" --target unit_tests
        TSAN_OPTIONS=halt_on_error=1 "$ROOT/build/tsan/tests/unit_tests" --gtest_brief=1 \
            --gtest_filter='OrderedJobs.*:Duplicate*:VandrelCli.DryRun*:PlanOfDuplicate.*:PlanSvg.*:FaultInjection.FullDisk*'
        # Every fuzz target over its seeds and then for a few seconds, so that they keep
        # building and running.
        build_fuzz
        corpus=$(mktemp -d)
        trap 'rm -rf "$corpus"' EXIT
        fuzz_all 3 "$corpus"
        ;;
    fuzz)
        build_fuzz
        fuzz_all "${1:-60}" "$FUZZ_BUILD/corpus"
        ;;
    demo)
        install_missing
        build_release
        "$ROOT/examples/demo.sh" "$ROOT/build/release" "$ROOT/demo-run"
        ;;
    screenshots)
        install_missing "${PICTURE_PACKAGES[@]}"
        build_release
        "$ROOT/docs/screenshots.sh" "$ROOT/build/release"
        ;;
    install)
        [ $# -eq 1 ] || { echo "usage: ./run.sh install PREFIX" >&2; exit 2; }
        install_missing
        build_release
        cmake --install "$ROOT/build/release" --prefix "$1"
        ;;
    windows)
        install_missing g++-mingw-w64-x86-64-posix mingw-w64 wine64 wine nsis dpkg-dev \
            xvfb xauth xdotool imagemagick
        build_release  # the Linux programs, whose outputs the Windows ones must match
        qt=$("$ROOT/cmake/build_windows_qt.sh" | tail -n 1)
        qhull=$("$ROOT/cmake/build_windows_qhull.sh" | tail -n 1)
        # A folder configured before the windows were built for Windows keeps its old toolchain.
        if [ -f "$ROOT/build/windows/CMakeCache.txt" ] &&
            ! grep -q "^QT_CHAINLOAD_TOOLCHAIN_FILE" "$ROOT/build/windows/CMakeCache.txt"; then
            rm -rf "$ROOT/build/windows"
        fi
        # --no-warn-unused-cli: the toolchain files are only read when the folder is configured
        # first.
        build "$ROOT/build/windows" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
            -DQT_CHAINLOAD_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
            -DQhull_DIR="$qhull/lib/cmake/Qhull"
        (cd "$ROOT/build/windows" && cpack -G NSIS -B "$ROOT/build/windows" >/dev/null)
        # Wine derives the Windows code page and the encoding of file names on disk from the
        # locale; without one, names with bytes beyond ASCII cannot be represented.
        export LANG=${LANG:-C.UTF-8}
        export WINEDEBUG=-all WINEPREFIX="$ROOT/build/windows/wineprefix" \
            WINEDLLOVERRIDES="mscoree,mshtml="
        # A new prefix is made without a display; its Wine session must end before the window
        # tests start one on a display, or their windows have no driver and they wait forever.
        if [ ! -d "$WINEPREFIX" ]; then
            wine wineboot --init >/dev/null 2>&1 || true
            wineserver -w
        fi
        # The window tests run on Windows' own platform plugin, which needs a display for Wine.
        (cd "$ROOT/build/windows" && xvfb-run -a -s "-screen 0 1280x1024x24" \
            ctest --output-on-failure "$@")
        "$ROOT/tests/compare_windows_cli.sh" "$ROOT/build/release" "$ROOT/build/windows" \
            "$ROOT/build/windows/cli-runs"
        "$ROOT/tests/windows_desktop_test.sh" "$ROOT/build/release" "$ROOT/build/windows" \
            "$ROOT/build/windows/desktop-runs"
        ;;
    bench)
        install_missing bc time
        "$ROOT/bench/compare.sh"
        ;;
    vandrel)
        install_missing
        build_release
        exec "$ROOT/build/release/wrltool/VandrelV3"
        ;;
    oskivo)
        install_missing
        build_release
        exec "$ROOT/build/release/cameras/Oskivo"
        ;;
    *)
        sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"  # the comment block at the top
        [ "$cmd" = help ] || exit 2
        ;;
esac
