#!/usr/bin/env bash
# What both commands do first: installs what is missing (scripts/setup.sh) and builds both
# architectures (scripts/compile.sh). The Wine trees install beside the builds, since one waits on
# the network and the disk and the other on the processor; their output follows the builds'.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$top/scripts/setup.sh" --packages
mkdir -p "$top/build"
"$top/scripts/setup.sh" --wine >"$top/build/setup-wine.log" 2>&1 &
wineSetup=$!
buildStatus=0
"$top/scripts/compile.sh" || buildStatus=$?
wineStatus=0
wait "$wineSetup" || wineStatus=$?
cat "$top/build/setup-wine.log"
[ "$buildStatus" -eq 0 ] || { echo "The build failed"; exit 1; }
[ "$wineStatus" -eq 0 ] || { echo "Installing Wine failed"; exit 1; }
