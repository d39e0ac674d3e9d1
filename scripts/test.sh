#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both architectures, then runs the test
# programs under Wine and the static checks of the x86 and x64 libraries.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/setup.sh"
"$top/scripts/compile.sh"
ctest --test-dir build/x64 --output-on-failure --parallel 2 "$@"
