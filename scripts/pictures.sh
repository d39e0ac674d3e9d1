#!/usr/bin/env bash
# Takes the user guide's pictures in the real editor: the portable Notepad++ the real-editor tests
# use (NOTEPADPP_X64, else ../shared/host/notepad++-x64), with both plug-ins and the probe playing
# tests/realEditor/pictures/*.scenario, on a virtual display (Xvfb, Wine's X11 driver drawing its
# own window frames). Saves PNG files in docs/: the light pictures, the same in dark mode (*-dark),
# at 150 % display scale (*-150), the menus with Wordlamp's icons also at 200 % (*-200), and the
# toolbar in each of the editor's icon sets (toolbar-set-N).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
build="${BUILD_DIR:-$top/build/x64}"
scenarios="$top/tests/realEditor/pictures"
export WINEPREFIX="$top/build/wineprefix-x11"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEDEBUG=-all
# The project's Wine (cmake/wine10.sh), here with the X11 driver on the virtual display.
wine() { "$top/cmake/wine10.sh" wine "$@"; }
wineserver() { "$top/cmake/wine10.sh" wineserver "$@"; }

# Sets up a fresh copy of the editor for a scenario; prints its folder.
prepare() {
    bash "$top/tests/realEditor/runRealEditor.sh" --prepare "$build" "$scenarios/$1.scenario"
}
if ! prepare pictures >/dev/null; then
    prepare pictures || true
    echo "No pictures taken: the real editor is needed for them."
    exit 0
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
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
    # The classic look, visual styles off: the pictures show the dialogs and menus as on a classic
    # desktop (the menu icons drawn by the editor's window, as under any Wine).
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.x11-ready"
fi
if [ ! -f "$WINEPREFIX/.win10-ready" ]; then
    # The editor's dark mode needs a system that reports Windows 10.
    wine winecfg -v win10 >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.win10-ready"
fi

setScale() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
}

# take SCENARIO SUFFIX [SED-EXPRESSION for config.xml]: runs the editor and keeps its pictures.
savedConfig="$build/realEditor/config-first-run.xml"
take() {
    local copy
    copy="$(prepare "$1")"
    if [ -n "${3:-}" ]; then
        sed "$3" "$savedConfig" >"$copy/config.xml"
    fi
    timeout 120 "$top/cmake/wine10.sh" wine "$copy/notepad++.exe" -multiInst || true
    wineserver -w || true
    [ -f "$savedConfig" ] || cp "$copy/config.xml" "$savedConfig"
    grep -E '^shot ' "$copy/plugins/Probe/probe.log" || true
    for picture in "$copy"/shots/*.bmp; do
        local name; name="$(basename "${picture%.bmp}")"
        # The toolbar spans the maximised window: only its buttons, not the empty rest.
        if [ "$name" = toolbar ]; then
            convert "$picture" -fuzz 2% -trim +repage "docs/$name$2.png"
        else
            convert "$picture" "docs/$name$2.png"
        fi
    done
}

mkdir -p docs
rm -f "$savedConfig"
setScale 96
take pictures ""
take pictures "-dark" 's/<GUIConfig name="DarkMode" enable="no"/<GUIConfig name="DarkMode" enable="yes"/'
take menus ""
take menus "-dark" 's/<GUIConfig name="DarkMode" enable="no"/<GUIConfig name="DarkMode" enable="yes"/'
for set in 0 1 2 4; do
    take toolbar "-set-$set" "s/lightToolBarIconSet=\"[0-9]*\"/lightToolBarIconSet=\"$set\"/"
done
setScale 144
take pictures "-150" || true
setScale 192
take menus "-200" || true
setScale 96
ls -l docs/*.png
