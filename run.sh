#!/usr/bin/env bash
# One entry point for newcomers and CI: installs what is missing, builds, runs.
#   ./run.sh demo      build and run Duplicate on a copy of examples/
#   ./run.sh test      build with sanitizers and run every test
#   ./run.sh vandrel   start the WRL placement tool
#   ./run.sh oskivo    start the camera file generator
#   ./run.sh bench     measure speed and memory on generated data
#   ./run.sh install PREFIX   install the programs, desktop entries and docs under PREFIX
#   ./run.sh screenshots      render both windows offscreen into docs/*.png
#   ./run.sh windows   cross-build the command-line programs for Windows, test them under Wine
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(cmake g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev libcli11-dev
          libbenchmark-dev desktop-file-utils)

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

cmd=${1:-help}
[ $# -gt 0 ] && shift
case "$cmd" in
    test)
        install_missing
        build "$ROOT/build/test" -DCMAKE_BUILD_TYPE=Debug -DSCENE_SANITIZE=ON
        cd "$ROOT/build/test"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS" "$@"
        ;;
    demo)
        install_missing
        build_release
        "$ROOT/examples/demo.sh" "$ROOT/build/release" "$ROOT/demo-run"
        ;;
    screenshots)
        install_missing
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
        install_missing g++-mingw-w64-x86-64-posix mingw-w64 wine64 wine
        build_release  # the Linux programs, whose outputs the Windows ones must match
        # --no-warn-unused-cli: the toolchain file is only read when the folder is configured first.
        build "$ROOT/build/windows" --no-warn-unused-cli \
            -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
            -DSCENE_WITH_GUI=OFF
        export WINEDEBUG=-all WINEPREFIX="$ROOT/build/windows/wineprefix" \
            WINEDLLOVERRIDES="mscoree,mshtml="
        [ -d "$WINEPREFIX" ] || wine wineboot --init >/dev/null 2>&1 || true
        (cd "$ROOT/build/windows" && ctest --output-on-failure "$@")
        "$ROOT/tests/compare_windows_cli.sh" "$ROOT/build/release" "$ROOT/build/windows" \
            "$ROOT/build/windows/cli-runs"
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
        sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
        [ "$cmd" = help ] || exit 2
        ;;
esac
