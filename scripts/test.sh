#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both architectures, then runs every test
# program of each architecture under Wine, the real-editor tier and the static checks of the
# libraries. x64 programs run under the project's Wine 10; x86 programs the way cmake/x86-runs.sh
# finds for this machine (natively in Wine's new WoW64 mode, or under CPU emulation where the
# processor gives no 32-bit mode). Arguments go to both ctest runs (e.g. -R pickpath).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/prepare.sh"

echo
echo "== How each architecture runs here"
echo "x64: natively, under Wine 10"
x86runs=yes
answer=$("$top/cmake/x86-runs.sh") || x86runs=no
way=$(head -n 1 <<<"$answer")
why=$(tail -n 1 <<<"$answer")
if [ "$x86runs" = yes ]; then
    echo "x86: $way, because $why"
else
    # Said plainly rather than passed over: only the static checks of the libraries run for x86.
    echo "x86: the test programs did NOT run here: $why"
fi

failed=()
summary=()
for arch in x86 x64; do
    echo
    echo "== Tests for $arch"
    if [ "$arch" = x86 ] && [ "$x86runs" = no ]; then
        bash "$top/tests/checkDlls.sh" "$top/dist" "$top" || failed+=("static checks")
        summary+=("x86: static checks only ($why)")
        continue
    fi
    started=$(date +%s)
    log="$top/build/$arch/ctest-output.txt"
    # pipefail: the pipeline fails when ctest does.
    ctest --preset "$arch" "$@" 2>&1 | tee "$log" || failed+=("$arch")
    counts=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1 || true)
    label="$arch"
    [ "$arch" = x86 ] && label="x86 ($way)"
    summary+=("$label: ${counts:-no count} in $(($(date +%s) - started)) s")
done
echo
echo "== Summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "Tests failed for: ${failed[*]}"
    exit 1
fi
echo "All tests that could run passed."
