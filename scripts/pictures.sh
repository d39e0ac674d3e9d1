#!/usr/bin/env bash
# Takes the user guide's pictures: runs both plug-ins in the stand-in editor on a virtual display
# (Xvfb, Wine's X11 driver drawing its own window frames) and saves PNG files in docs/.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
export WINEPREFIX="$top/build/wineprefix-x11"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEDEBUG=-all
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
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
shots=$(mktemp -d)
build="${BUILD_DIR:-$top/build/x64}"
wine "$build/tests/pictureSession/pictureSession.exe" "Z:$(sed 's|/|\\|g' <<<"$build/plugins")" \
    "Z:$(sed 's|/|\\|g' <<<"$shots")"
wineserver -k || true
mkdir -p docs
for picture in "$shots"/*.bmp; do
    convert "$picture" "docs/$(basename "${picture%.bmp}").png"
done
rm -rf "$shots"
ls -l docs/*.png
