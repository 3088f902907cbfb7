#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the Debian package from it:
# every program is in bin/, the desktop entries validate, the package holds the programs.
#   packaging_test.sh BUILD_DIR PROGRAM...
set -euo pipefail
build=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for program in "$@"; do
    [ -x "$work/prefix/bin/$program" ] || fail "bin/$program is not installed"
done
[ -f "$work/prefix/share/doc/SceneTools/README.md" ] || fail "README.md is not installed"
desktops=$(find "$work/prefix/share/applications" -name '*.desktop' 2>/dev/null || true)
if [ -n "$desktops" ]; then
    for desktop in $desktops; do
        desktop-file-validate "$desktop" || fail "$desktop does not validate"
        icon=$(sed -n 's/^Icon=//p' "$desktop")
        [ -f "$work/prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon"
    done
fi

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) ||
    fail "cpack failed"
deb=$(find "$work/package" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || fail "no .deb was built"
contents=$(dpkg-deb -c "$deb")
echo "$contents" | awk '{print $6}'
for program in "$@"; do
    echo "$contents" | grep -q "/bin/$program\$" || fail "the package lacks bin/$program"
done
echo "1 passed, 0 failed"
