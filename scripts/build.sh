#!/usr/bin/env bash
# The main command: installs what is missing, builds both plug-ins for x86 and x64, leaves them in
# dist/ (with release zips), runs the demo and takes the pictures in docs/.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/prepare.sh"
"$top/scripts/package.sh"
# The main job: both real libraries in the stand-in editor through a short scripted session, once
# per architecture (each demo program loads the libraries built beside it).
for arch in x86 x64; do
    echo
    echo "== Demo ($arch): both plug-ins in the stand-in editor"
    if [ "$arch" = x86 ]; then
        # Natively or under CPU emulation, as cmake/x86-runs.sh finds for this machine.
        if ! answer=$("$top/cmake/x86-runs.sh"); then
            echo "The x86 demo did NOT run here: $(tail -n 1 <<<"$answer")"
            continue
        fi
        echo "(x86 runs $(head -n 1 <<<"$answer") here: $(tail -n 1 <<<"$answer"))"
    fi
    "$top/cmake/wine-run.sh" "$top/build/$arch/tests/demoSession/demoSession.exe"
done
# The user guide's pictures, taken on a virtual display.
echo
echo "== Pictures for the user guide"
"$top/scripts/pictures.sh"
