#!/usr/bin/env bash
# Builds, once, the static Qt 6 for Windows that the Windows window programs link: Debian's own
# qt6-base source of the host Qt's version, cross-compiled with MinGW-w64. The result is cached
# outside the clone, keyed by that version, so later runs (and CI on the same machine) reuse it.
# Prints the installed prefix on its last line.
#   usage: cmake/build_windows_qt.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/scene-tools
prefix=$cache/qt-$version-mingw-w64-static
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

echo "building Qt $upstream for Windows, about 20 minutes, once (into $prefix)" >&2
work=$cache/qt-build-$version
rm -rf "$work" "$prefix"
trap 'rm -rf "$work"' EXIT
"$ROOT/cmake/fetch_debian_source.sh" qt6-base "$version" "$work"

# What the windows and their tests use: Core, Gui, Widgets, Test and the windows platform
# plugin. Debian's source lacks wintab.h, hence no tablet events.
mkdir -p "$work/build"
cd "$work/build"
"$work/src/configure" -prefix "$prefix" -release -static -static-runtime \
    -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- -qt-host-path /usr \
    -nomake tests -nomake examples -no-opengl -no-dbus -no-icu -no-feature-tabletevent \
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-printsupport \
    -no-feature-concurrent -no-feature-vulkan \
    -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
    -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" >configure.log 2>&1 ||
    { tail -n 40 configure.log >&2; exit 1; }
cmake --build . --parallel "$JOBS" >build.log 2>&1 || { tail -n 40 build.log >&2; exit 1; }
cmake --install . >/dev/null
touch "$prefix/.complete"
echo "$prefix"
