#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the Debian package from it: every
# program is in bin/, the user guides are HTML pages beside their pictures, the desktop entries
# and AppStream metadata validate, lintian finds no error and no warning, and dpkg installs the
# package into an empty root, where each program answers --version with its name and the
# package's version, and removes it again. The source archive leaves out what git ignores.
#   packaging_test.sh BUILD_DIR PROGRAM...
set -euo pipefail
build=$(cd "$1" && pwd)
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for program in "$@"; do
    [ -x "$work/prefix/bin/$program" ] || fail "bin/$program is not installed"
done
[ -f "$work/prefix/share/doc/scene-tools/README.md" ] || fail "README.md is not installed"

# guide_pages DOCS: each user guide is an HTML page in DOCS whose pictures and linked pages are
# there beside it.
guide_pages() {
    local page target
    for page in "$1/vandrel.html" "$1/oskivo.html"; do
        [ -f "$page" ] || fail "${page#"$work"/} is not installed"
        grep -q '<meta charset="utf-8">' "$page" || fail "$page names no character set"
        for target in $(grep -o -e '<img src="[^"]*"' -e '<a href="[^"#:]*' "$page" |
            sed 's/^[^"]*"//; s/"$//'); do
            [ -f "$1/$target" ] || fail "${page#"$work"/} shows or links $target, which is absent"
        done
    done
}
guide_pages "$work/prefix/share/doc/scene-tools/docs"
desktops=$(find "$work/prefix/share/applications" -name '*.desktop' 2>/dev/null || true)
if [ -n "$desktops" ]; then
    for desktop in $desktops; do
        desktop-file-validate "$desktop" || fail "$desktop does not validate"
        icon=$(sed -n 's/^Icon=//p' "$desktop")
        [ -f "$work/prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon"
    done
    for metainfo in "$work"/prefix/share/metainfo/*.metainfo.xml; do
        appstreamcli validate --no-net --pedantic "$metainfo" || fail "$metainfo does not validate"
        launchable=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<.*/\1/p' "$metainfo")
        [ -f "$work/prefix/share/applications/$launchable" ] || fail "no desktop entry $launchable"
    done
    [ "$(echo "$desktops" | wc -l)" -eq "$(ls "$work"/prefix/share/metainfo | wc -l)" ] ||
        fail "not one AppStream file for each desktop entry"
fi

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) ||
    fail "cpack failed"
deb=$(find "$work/package" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || fail "no .deb was built"
dpkg-deb -c "$deb" | grep -E '^-.*/usr/share/doc/.*\.sh$' && fail "a script among the docs"
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"

# An empty root with an empty package database: dpkg checks the package's own dependencies
# against the test machine's, not this root's.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-not-root -i "$deb" >/dev/null 2>&1 ||
    fail "dpkg -i failed"
guide_pages "$root/usr/share/doc/scene-tools/docs"
name=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
for program in "$@"; do
    # A window program that opened its window instead would not end by itself.
    answer=$(QT_QPA_PLATFORM=offscreen timeout 20 "$root/usr/bin/$program" --version) ||
        fail "$program --version failed"
    [ "$answer" = "$program $version" ] || fail "$program --version printed \"$answer\""
done
dpkg --root="$root" --force-depends --force-not-root --purge "$name" >/dev/null 2>&1 ||
    fail "dpkg --purge failed"
[ ! -e "$root/usr" ] || fail "files left after removal: $(find "$root/usr" -type f | head)"
# The source archive holds the sources, none of what .gitignore ignores (builds, the demo).
(cd "$work" && cpack --config "$build/CPackSourceConfig.cmake" -B "$work/source" >/dev/null) ||
    fail "cpack of the sources failed"
archive=$(find "$work/source" -maxdepth 1 -name '*.tar.gz' | head -n 1)
listing=$(tar -tzf "$archive")
grep -q '/CMakeLists.txt$' <<<"$listing" || fail "the source archive has no CMakeLists.txt"
ignored=$(grep -E '^[^/]*/(build|build-[^/]*|demo-run)/' <<<"$listing" | head -n 3 || true)
[ -z "$ignored" ] || fail "the source archive holds ignored files: $ignored"
echo "1 passed, 0 failed"
