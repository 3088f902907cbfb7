#!/usr/bin/env bash
# The Windows desktop as a user meets it, under Wine: the installer installs silently into a
# fresh Wine prefix with its Start menu shortcuts; the installed command-line program answers;
# each installed window opens and, driven with mouse and keyboard as a user would, makes the same files
# as the Linux command-line program on a copy of examples/, and F6 opens its plan; the uninstaller
# removes it all.
#   tests/windows_desktop_test.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR [SCREENSHOT_DIR]
# OUT_DIR is made anew. With SCREENSHOT_DIR, the two windows are saved there as
# vandrel-windows.png and oskivo-windows.png, in full colour.
set -euo pipefail
if [ $# -lt 3 ]; then
    echo "usage: tests/windows_desktop_test.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR [SCREENSHOT_DIR]" >&2
    exit 2
fi
ROOT=$(cd "$(dirname "$0")/.." && pwd)
LINUX_BUILD=$(cd "$1" && pwd)
WINDOWS_BUILD=$(cd "$2" && pwd)
OUT=$3
SHOTS=${4:-}
[ -z "$SHOTS" ] || mkdir -p "$SHOTS"
rm -rf "$OUT"
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
failures=0
passes=0
pass() { echo "ok: $*"; passes=$((passes + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export WINEPREFIX=$OUT/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-C.UTF-8}
wine wineboot --init >/dev/null 2>&1 || true

# A display of our own for the windows.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display

# --- Install -----------------------------------------------------------------------------------
installer=$(find "$WINDOWS_BUILD" -maxdepth 1 -name 'scene-tools-*-win64.exe' | head -n 1)
[ -n "$installer" ] || { echo "FAIL: no installer in $WINDOWS_BUILD"; exit 1; }
# NSIS: /S is silent; the default folder is "Scene tools" in the 64-bit program files.
wine "$installer" /S >/dev/null 2>&1
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Scene tools"
missing=()
for file in bin/VandrelV3.exe bin/Oskivo.exe bin/vandrel-cli.exe bin/oskivo-cli.exe \
    doc/docs/vandrel.html doc/docs/oskivo.html Uninstall.exe; do
    [ -f "$installed/$file" ] || missing+=("$file")
done
if [ ${#missing[@]} -eq 0 ]; then pass "the installer installs every file"; else
    fail "the installer did not install: ${missing[*]}"
fi
# Windows' list of installed programs names the project's maintainers as the publisher.
publisher=$(awk '/^\[/ { ours = index($0, "Uninstall\\\\Scene tools]") > 0 }
    ours && /^"Publisher"=/' "$WINEPREFIX/system.reg")
if [ "$publisher" = '"Publisher"="Scene tools maintainers"' ]; then
    pass "the installed programs' publisher is the project's maintainers"
else
    fail "publisher: ${publisher:-none}"
fi
shortcuts=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' \( -name 'VandrelV3.lnk' -o \
    -name 'Oskivo.lnk' \) | wc -l)
if [ "$shortcuts" -eq 2 ]; then pass "Start menu shortcuts to both windows"; else
    fail "$shortcuts of 2 Start menu shortcuts"
fi
# The guides' shortcuts open HTML pages (which Windows opens in its browser) that are installed,
# with every picture they show beside them.
guides=""
while IFS= read -r link; do
    # The target is in the link as 8-bit or UTF-16 text: without its zero bytes, either reads.
    page=$(tr -d '\0' <"$link" | grep -a -o 'doc\\docs\\[A-Za-z0-9_-]*\.html' | head -n 1 |
        sed 's|\\|/|g')
    if [ -z "$page" ] || [ ! -f "$installed/$page" ]; then
        guides+="$(basename "$link") opens ${page:-no page}; "
        continue
    fi
    for picture in $(grep -o '<img src="[^"]*"' "$installed/$page" | sed 's/^[^"]*"//; s/"$//'); do
        [ -f "$installed/doc/docs/$picture" ] || guides+="$page lacks $picture; "
    done
done < <(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '* user guide.lnk')
links=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '* user guide.lnk' | wc -l)
if [ "$links" -eq 2 ] && [ -z "$guides" ]; then
    pass "both guides' shortcuts open installed HTML pages with their pictures"
else
    fail "$links of 2 guide shortcuts; $guides"
fi
# The windows are window programs (no console opens beside them), the others console ones.
subsystems=""
for program in VandrelV3 Oskivo vandrel-cli oskivo-cli; do
    subsystems+="$program: $(x86_64-w64-mingw32-objdump -p "$installed/bin/$program.exe" |
        sed -n 's/^Subsystem.*(\(.*\))$/\1/p'); "
done
expected="VandrelV3: Windows GUI; Oskivo: Windows GUI; vandrel-cli: Windows CUI; "
expected+="oskivo-cli: Windows CUI; "
if [ "$subsystems" = "$expected" ]; then
    pass "window programs for the Windows GUI, the others for its console"
else
    fail "subsystems: $subsystems"
fi
version=$(wine "$installed/bin/vandrel-cli.exe" --version 2>&1 | tr -d '\r' || true)
if [[ $version == *0.1.0* ]]; then pass "the installed vandrel-cli.exe answers: $version"; else
    fail "the installed vandrel-cli.exe --version printed: $version"
fi

# --- The windows -------------------------------------------------------------------------------
# wait_window CLASS: the X window of the Wine program whose class is CLASS, once it is shown.
wait_window() {
    local id
    for _ in $(seq 1 120); do
        id=$(xdotool search --onlyvisible --classname "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    return 1
}

# click WINDOW X Y: a left click at the point of the window (its client area) in pixels; the
# layouts are in twips, 15 to a pixel at Windows' 96 dots per inch.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 1
}

# Enter to the window that has the focus (a message box's OK).
enter() {
    xdotool key Return
    sleep 1
}

# plan_opens PROGRAM: F6, to the window under the pointer, opens the plan of the picked file in a
# window of its own.
plan_opens() {
    xdotool key F6
    for _ in $(seq 1 40); do
        if xdotool search --onlyvisible --name "^Plan of" >/dev/null 2>&1; then
            pass "F6 opens $1's plan window"
            import -window root "$OUT/$1-plan.png" || true
            return 0
        fi
        sleep 0.5
    done
    fail "F6 opened no plan window in $1"
    import -window root "$OUT/$1-plan-failed.png" || true
}

# One folder with the models and the list, so that both columns start where the user needs them.
scene() {
    mkdir -p "$1"
    cp "$ROOT"/examples/models/*.wrl "$ROOT/examples/lists/village.txt" \
        "$ROOT/examples/lists/site.mgp" "$1/"
}
# The folder's name is beyond ASCII (Greek and Latin-1 letters, in UTF-8), as users' are.
place=$'sc\xc3\xa8ne \xce\xa9'
linux=$OUT/linux/$place
windows=$OUT/windows/$place
scene "$linux"
scene "$windows"
"$LINUX_BUILD/wrltool/vandrel-cli" duplicate --models "$linux" --tso "$linux/village.txt" >/dev/null
"$LINUX_BUILD/cameras/oskivo-cli" generate "$linux/site.mgp" >/dev/null

# VandrelV3: a click on village.txt, the first name of the list file list (twips 5280, 3480),
# one on "Duplicate" (its centre at twips 10867, 8467), then Enter closes the "DONE" box.
(cd "$windows" && setsid wine "$installed/bin/VandrelV3.exe" >/dev/null 2>&1 &)
if window=$(wait_window vandrelv3.exe); then
    pass "the installed VandrelV3.exe opens its window"
    sleep 2
    click "$window" 362 240
    [ -z "$SHOTS" ] || import -window "$window" PNG24:"$SHOTS/vandrel-windows.png"
    click "$window" 724 564
    sleep 2
    enter
    if diff -r "$linux/newwrls" "$windows/newwrls" >/dev/null 2>&1; then
        pass "VandrelV3.exe's copies equal the Linux ones byte for byte"
    else
        fail "VandrelV3.exe's copies differ from the Linux ones"
        ls -l "$windows/newwrls" 2>&1 || true
        import -window root "$OUT/vandrel-failed.png" || true
    fi
    plan_opens VandrelV3.exe
else
    fail "VandrelV3.exe showed no window"
fi
wineserver -k >/dev/null 2>&1 || true

# Oskivo: a click on site.mgp, the first name of the point file list (twips 960, 3360), one on
# "Create File" (its centre at twips 2527, 7327), then Enter closes the "DONE" box.
(cd "$windows" && setsid wine "$installed/bin/Oskivo.exe" >/dev/null 2>&1 &)
if window=$(wait_window oskivo.exe); then
    pass "the installed Oskivo.exe opens its window"
    sleep 2
    click "$window" 74 232
    [ -z "$SHOTS" ] || import -window "$window" PNG24:"$SHOTS/oskivo-windows.png"
    click "$window" 168 488
    enter
    if cmp -s "$linux/site.txt" "$windows/site.txt"; then
        pass "Oskivo.exe's camera file equals the Linux one byte for byte"
    else
        fail "Oskivo.exe's camera file differs from the Linux one"
        import -window root "$OUT/oskivo-failed.png" || true
    fi
    plan_opens Oskivo.exe
else
    fail "Oskivo.exe showed no window"
fi
wineserver -k >/dev/null 2>&1 || true

# VandrelV3 stopped: a Duplicate of 20,000 placements, Escape half a second in. Fewer copies,
# each equal to the Linux one, no temporary file left, the window still there, and the box
# "Stopped: N of 20,000 copies written" captioned with the program's name alone.
long_linux=$OUT/linux/long
long_windows=$OUT/windows/long
for folder in "$long_linux" "$long_windows"; do
    mkdir -p "$folder"
    cp "$ROOT/examples/models/house.wrl" "$folder/"
    awk 'BEGIN { for (i = 0; i < 20000; i++) printf "house,%d,0,%d,%d,0,0\r\n", i % 200,
        int(i / 200), (i * 7) % 360 }' >"$folder/long.txt"
done
"$LINUX_BUILD/wrltool/vandrel-cli" duplicate --models "$long_linux" --tso "$long_linux/long.txt" \
    >/dev/null
(cd "$long_windows" && setsid wine "$installed/bin/VandrelV3.exe" >/dev/null 2>&1 &)
if window=$(wait_window vandrelv3.exe); then
    sleep 2
    click "$window" 362 240
    xdotool mousemove --window "$window" 724 564 click 1
    sleep 0.5
    xdotool key Escape
    sleep 3
    box=$(xdotool search --onlyvisible --name '^VandrelV3$' 2>/dev/null | head -n 1 || true)
    written=$(find "$long_windows/newwrls" -name '*.wrl' 2>/dev/null | wc -l)
    leftovers=$(find "$long_windows/newwrls" -name '.*.tmp-*' 2>/dev/null | wc -l)
    differing=0
    for copy in "$long_windows"/newwrls/*.wrl; do
        [ -e "$copy" ] || continue
        cmp -s "$copy" "$long_linux/newwrls/$(basename "$copy")" || differing=$((differing + 1))
    done
    if [ -n "$box" ] && [ "$written" -lt 20000 ] && [ "$differing" -eq 0 ] &&
        [ "$leftovers" -eq 0 ] && xdotool search --onlyvisible --classname vandrelv3.exe \
        >/dev/null 2>&1; then
        pass "Escape stops VandrelV3.exe's Duplicate after $written whole copies"
    else
        fail "Escape: box '${box:+VandrelV3}', $written copies, $differing differing, $leftovers temporary"
        import -window root "$OUT/vandrel-stop-failed.png" || true
    fi
    enter
else
    fail "VandrelV3.exe showed no window for the stop"
fi
wineserver -k >/dev/null 2>&1 || true

# --- Uninstall ---------------------------------------------------------------------------------
wine "$installed/Uninstall.exe" /S >/dev/null 2>&1 || true
wineserver -w
sleep 2
left=0
[ ! -d "$installed" ] || left=$(find "$installed" -type f | wc -l)
if [ "$left" -eq 0 ]; then pass "the uninstaller removes every file"; else
    fail "the uninstaller left $left files"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
