#!/usr/bin/env bash
# Answers whether 32-bit Windows programs run on this machine under the project's Wine: builds a
# program that only returns 42 with the x86 compiler and runs it. Wine 10 runs 32-bit code inside a
# 64-bit process, which needs the processor's 32-bit compatibility mode; some hypervisors don't give
# it (the program then ends with a general protection fault), and there nothing 32-bit can run.
# Exit code 0 when x86 programs run; otherwise 1 and the reason on standard output.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
folder="$here/../build/x86-runs"
mkdir -p "$folder"
if ! printf 'int main(void) { return 42; }\n' | i686-w64-mingw32-gcc-posix -x c - -o "$folder/answer42.exe" 2>/dev/null; then
    echo "the x86 compiler could not build a test program"
    exit 1
fi
"$here/wine-run.sh" "$folder/answer42.exe" >/dev/null 2>&1
status=$?
if [ "$status" -ne 42 ]; then
    echo "a 32-bit program under Wine 10 ended with code $status instead of 42: this machine cannot execute 32-bit code"
    grep -q 'Hypervisor detected: PVM' <(dmesg 2>/dev/null) && echo "(the kernel runs under the PVM hypervisor, which gives processes no 32-bit compatibility mode)"
    exit 1
fi
exit 0
