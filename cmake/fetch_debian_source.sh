#!/usr/bin/env bash
# Downloads and unpacks Debian's own source of a package, at the given version, into DEST/src,
# through a private apt configuration that adds source entries for the machine's own Debian
# archives (the machine's sources are left as they are). dpkg-source's notes go to
# DEST/source.log.
#   usage: cmake/fetch_debian_source.sh PACKAGE VERSION DEST
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 PACKAGE VERSION DEST" >&2; exit 2; }
package=$1 version=$2 dest=$3
mkdir -p "$dest/apt/sources.list.d" "$dest/apt/lists/partial"

for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$dest/apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$dest/apt/sources.list"
else
    : >"$dest/apt/sources.list"
fi
apt_private=(-o "Dir::Etc::SourceList=$dest/apt/sources.list"
             -o "Dir::Etc::SourceParts=$dest/apt/sources.list.d"
             -o "Dir::State::Lists=$dest/apt/lists")
apt-get "${apt_private[@]}" update -qq
# apt checks the files against the archive's signed index.
(cd "$dest" && apt-get "${apt_private[@]}" source --download-only "$package=$version" \
    >source.log 2>&1 && dpkg-source -x "${package}"_*.dsc src >>source.log 2>&1) ||
    { tail -n 20 "$dest/source.log" >&2; exit 1; }
