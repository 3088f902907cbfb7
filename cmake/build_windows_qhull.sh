#!/usr/bin/env bash
# Builds, once, the static Qhull for Windows that vandrel-cli.exe and VandrelV3.exe link:
# Debian's own qhull source of the host's libqhull-dev version, cross-compiled with MinGW-w64.
# The result is cached outside the clone, keyed by that version, with Qhull's own CMake package
# files (Qhull::qhullstatic_r, as on Linux). Prints the installed prefix on its last line.
#   usage: cmake/build_windows_qhull.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

version=$(dpkg-query -W -f='${Version}' libqhull-dev)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/scene-tools
prefix=$cache/qhull-$version-mingw-w64-static
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

echo "building Qhull $version for Windows, a few minutes, once (into $prefix)" >&2
work=$cache/qhull-build-$version
rm -rf "$work" "$prefix"
trap 'rm -rf "$work"' EXIT
"$ROOT/cmake/fetch_debian_source.sh" qhull "$version" "$work"

# Static libraries only; Qhull's sample programs come along (its install wants them).
cmake -S "$work/src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$prefix" \
    >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --parallel "$JOBS" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
touch "$prefix/.complete"
echo "$prefix"
