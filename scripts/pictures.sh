#!/usr/bin/env bash
# Takes the user guide's pictures in the real editor: the portable Notepad++ the real-editor tests
# use (NOTEPADPP_X64, else ../shared/host/notepad++-x64), with both plug-ins and the probe playing
# tests/realEditor/pictures/pictures.scenario, on a virtual display (Xvfb, Wine's X11 driver
# drawing its own window frames). Saves PNG files in docs/.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
build="${BUILD_DIR:-$top/build/x64}"
copy="$(bash "$top/tests/realEditor/runRealEditor.sh" --prepare "$build" "$top/tests/realEditor/pictures/pictures.scenario")" || {
    echo "$copy"
    echo "No pictures taken: the real editor is needed for them."
    exit 0
}
export WINEPREFIX="$top/build/wineprefix-x11"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEDEBUG=-all
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
if [ ! -f "$WINEPREFIX/.x11-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1 || true
    # Without a window manager, Wine draws the captions and frames itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    # The classic look: menu bitmaps drawn in the check-mark column.
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.x11-ready"
fi
timeout 120 wine "$copy/notepad++.exe" || true
wineserver -k || true
grep -E '^shot ' "$copy/plugins/Probe/probe.log" || true
mkdir -p docs
for picture in "$copy"/shots/*.bmp; do
    convert "$picture" "docs/$(basename "${picture%.bmp}").png"
done
ls -l docs/*.png
