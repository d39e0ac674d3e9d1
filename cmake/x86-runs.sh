#!/usr/bin/env bash
# Finds out how 32-bit Windows programs run on this machine, by building a program that only
# returns 42 with the x86 compiler and running it:
#
#   native    Wine 10's new WoW64 mode runs it inside a 64-bit process. That needs the processor's
#             32-bit compatibility mode, which KVM gives and some hypervisors (PVM) don't: there the
#             program ends with a general protection fault on its first 32-bit instruction.
#   emulated  Otherwise the 32-bit processes run under qemu's user-mode emulator (cmake/wine10.sh),
#             which needs a kernel that gives each user namespace its own binfmt_misc (6.7 and
#             later). Slower, but every x86 test runs.
#
# Prints the way on the first line and why on the second; exit code 0 when x86 programs run either
# way, 1 when neither works. The answer is kept in build/x86-runs/way, so it is found out once per
# build folder; X86_WAY=native or X86_WAY=emulated tries that way alone (its answer kept apart, in
# way.native or way.emulated), e.g. to prove the emulated way on a machine where the native one works.
#
# x86-runs.sh --expect answers in a few milliseconds, without Wine, whether the processor runs 32-bit
# code here (a 96-byte 32-bit Linux program that exits with 42), so that the emulated Wine can be
# installed early, beside the builds, where it will be needed.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
folder="$here/../build/x86-runs"
mkdir -p "$folder"
answerFile="$folder/way${X86_WAY:+.$X86_WAY}"

if [ "${1:-}" = --expect ]; then
    # ELF header, one loadable segment, and: mov eax, 1; mov ebx, 42; int 0x80 (exit(42)).
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' \
        >"$folder/exit42"
    chmod +x "$folder/exit42"
    # Where it can't run it faults: no core file, and no word of it from the shell.
    (ulimit -c 0; "$folder/exit42") 2>/dev/null
    [ $? -eq 42 ]
    exit
fi

# Whether the program returns 42 in the given way; the reason when not, on standard output.
runsThisWay() {
    local status=0
    WINE10_WAY="$1" "$here/wine-run.sh" "$folder/answer42.exe" >"$folder/$1.log" 2>&1 || status=$?
    [ "$status" -eq 42 ] && return 0
    echo "a 32-bit program under Wine 10 ($1) ended with code $status instead of 42"
    return 1
}

kernelHasOwnBinfmt() {
    local major minor
    IFS=. read -r major minor _ <<<"$(uname -r)"
    [ "${major:-0}" -gt 6 ] || { [ "${major:-0}" -eq 6 ] && [ "${minor%%[!0-9]*}" -ge 7 ]; }
}

decide() {
    if ! printf 'int main(void) { return 42; }\n' | i686-w64-mingw32-gcc-posix -x c - -o "$folder/answer42.exe" 2>/dev/null; then
        printf 'none\nthe x86 compiler could not build a test program\n'
        return
    fi
    local only="${X86_WAY:-}" why
    if [ -z "$only" ] || [ "$only" = native ]; then
        if why=$(runsThisWay native); then
            printf 'native\nthe processor runs 32-bit code (Wine 10, new WoW64)\n'
            return
        fi
        if [ "$only" = native ]; then
            printf 'none\n%s\n' "$why"
            return
        fi
        grep -q 'Hypervisor detected: PVM' <(dmesg 2>/dev/null) \
            && why="$why: the kernel runs under the PVM hypervisor, which gives processes no 32-bit mode"
    fi
    if ! kernelHasOwnBinfmt; then
        printf 'none\n%s; and CPU emulation needs a kernel from 6.7 on (this one is %s)\n' "${why:-native not tried}" "$(uname -r)"
        return
    fi
    if ! unshare --user --map-root-user true 2>/dev/null; then
        printf 'none\n%s; and CPU emulation needs user namespaces, which this machine refuses\n' "${why:-native not tried}"
        return
    fi
    "$here/wine10-install.sh" emulated >&2 || { printf 'none\nthe emulated Wine could not be installed\n'; return; }
    local emulatedWhy
    if emulatedWhy=$(runsThisWay emulated); then
        printf 'emulated\n%s, so each 32-bit process runs under qemu-i386 (64-bit Wine natively)\n' \
            "${why:-X86_WAY=emulated asked for it}"
    else
        printf 'none\n%s; %s\n' "${why:-native not tried}" "$emulatedWhy"
    fi
}

# Found out once, under a lock; read without it after that.
if [ ! -s "$answerFile" ]; then
    exec 7>"$folder/.lock"
    flock 7
    if [ ! -s "$answerFile" ]; then
        # The lock is not handed down: the Wine server that the test program starts lives on while
        # the tests use the prefix, and holding it as long it kept every later caller waiting (a
        # real-editor group waited out its time limit).
        answer=$(decide 7>&-)
        printf '%s\n' "$answer" >"$answerFile.new" && mv "$answerFile.new" "$answerFile"
    fi
    exec 7>&-
fi
answer=$(cat "$answerFile")
printf '%s\n' "$answer"
[ "$(head -n 1 <<<"$answer")" != none ]
