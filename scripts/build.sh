#!/usr/bin/env bash
# The main command: installs what is missing, builds both plug-ins for x86 and x64, leaves them in
# dist/ (with release zips), runs the demo and takes the pictures in docs/.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/setup.sh"
"$top/scripts/compile.sh"
"$top/scripts/package.sh"
# The main job: both real libraries in the stand-in editor through a short scripted session.
echo
echo "== Demo: both plug-ins in the stand-in editor"
"$top/cmake/wine-run.sh" "$top/build/x64/tests/demoSession/demoSession.exe" "Z:$(sed 's|/|\\|g' <<<"$top/build/x64/plugins")"
# The user guide's pictures, taken on a virtual display.
echo
echo "== Pictures for the user guide"
"$top/scripts/pictures.sh"
