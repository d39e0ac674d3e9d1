#!/usr/bin/env bash
# Runs one Windows program, x86 or x64, under the project's Wine (wine10.sh) in the project's
# headless prefix, making the prefix on first use.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
export WINEDEBUG="${WINEDEBUG:--all}"
"$here/wine-prefix.sh"
exec "$here/wine10.sh" wine "$@"
