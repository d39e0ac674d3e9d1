#!/usr/bin/env bash
# Makes the headless Wine prefix once: null display driver, no debugger on crashes. The prefix
# belongs to one way of running (WINE10_WAY, see wine10.sh): each way has its own.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "${WINE10_WAY:-native}" = emulated ]; then
    export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix-emulated}"
else
    export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
fi
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
export WINEDEBUG="${WINEDEBUG:--all}"
[ -f "$WINEPREFIX/.headless-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX/.lock"
flock 9
[ -f "$WINEPREFIX/.headless-ready" ] && exit 0
"$here/wine10.sh" wine wineboot --init >/dev/null 2>&1 || true
"$here/wine10.sh" wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# Without this wait the first program cannot create windows.
"$here/wine10.sh" wineserver -w
touch "$WINEPREFIX/.headless-ready"
