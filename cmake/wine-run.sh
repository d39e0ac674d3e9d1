#!/usr/bin/env bash
# Runs one Windows program, x86 or x64, under the project's Wine (wine10.sh) in the project's
# headless prefix, making the prefix on first use.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
export WINEDEBUG="${WINEDEBUG:--all}"
"$here/wine-prefix.sh"
# The first program of a prefix starts Wine's own services, which inherit its output and live as
# long as any program of the prefix runs; ctest waits for the last holder of a test's output, so a
# test that happened to start them would wait for every other test. Started here first, with no
# output of their own, they hold nobody's.
root="${WINE10_ROOT:-$here/../.cache/wine10}"
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
