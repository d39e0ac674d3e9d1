#!/usr/bin/env bash
# Runs one Windows program, x86 or x64, under the project's Wine (wine10.sh) in the project's
# headless prefix, making the prefix on first use. An x86 program runs the way cmake/x86-runs.sh
# found for this machine: natively in Wine's new WoW64 mode, or under CPU emulation, each way with a
# Wine tree and a prefix of its own. WINE10_WAY, when set, chooses for every program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(cd "$here/.." && pwd)"

# The machine type in a program's PE header: 14c for x86, 8664 for x64; empty for anything else.
peMachine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
    [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
if [ -z "${WINE10_WAY:-}" ]; then
    WINE10_WAY=native
    if [ -f "${1:-}" ] && [ "$(peMachine "$1")" = 014c ]; then
        way="${X86_WAY:-$("$here/x86-runs.sh" 2>/dev/null | head -n 1 || true)}"
        [ "$way" = emulated ] && WINE10_WAY=emulated
    fi
fi
export WINE10_WAY
if [ "$WINE10_WAY" = emulated ]; then
    export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix-emulated}"
    root="${WINE10_EMULATED_ROOT:-$top/.cache/wine10-emulated}"
else
    export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix}"
    root="${WINE10_ROOT:-$top/.cache/wine10}"
fi
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
export WINEDEBUG="${WINEDEBUG:--all}"
"$here/wine-prefix.sh"
# The first program of a prefix starts Wine's own services, which inherit its output and live as
# long as any program of the prefix runs; ctest waits for the last holder of a test's output, so a
# test that happened to start them would wait for every other test. Started here first, with no
# output of their own, they hold nobody's.
server=$(stat -L -c '%d %i' "$WINEPREFIX" | awk '{printf "server-%x-%x", $1, $2}')
if ! compgen -G "$root/tmp/wine-*/$server/socket" >/dev/null; then
    "$here/wine10.sh" wineserver -p10 </dev/null >/dev/null 2>&1 || true
    "$here/wine10.sh" wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
fi
# The program's output goes through a file of its own: whatever it leaves running (a process it
# started, a server) holds that file, not the caller's output, so the caller sees the program end
# when it ends.
output=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$output"' EXIT
"$here/wine10.sh" wine "$@" </dev/null >"$output" 2>&1 &
program=$!
# A time limit that ends this script ends the program too.
trap 'kill "$program" 2>/dev/null; rm -f "$output"; exit 143' TERM INT
status=0
wait "$program" || status=$?
cat "$output"
exit "$status"
