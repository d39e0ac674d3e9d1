#!/usr/bin/env bash
# Installs, once, the Wine that runs the tests: Debian 13's Wine 10 in a minimal Debian 13 tree made
# by debootstrap from the archive apt uses here (cmake/apt-archive.sh). Two kinds, by the argument:
#
#   native    (default; .cache/wine10, WINE10_ROOT chooses another folder) runs x64 programs, and
#             x86 ones in Wine's new WoW64 mode, which runs 32-bit Windows code inside a 64-bit process
#             and needs no 32-bit Linux library, only the 32-bit Windows half of Wine (taken from the
#             i386 package of the same version), but does need the processor's 32-bit mode.
#   emulated  (.cache/wine10-emulated, WINE10_EMULATED_ROOT) runs x86 programs where the processor
#             gives processes no 32-bit mode: the whole 32-bit Wine (wine32:i386) with its 32-bit
#             loader, which runs under qemu's user-mode emulator qemu-i386, taken from the same
#             archive's qemu-user package; the 64-bit Wine server and services run natively. See
#             cmake/wine10.sh for how a program reaches the emulator.
#
# Idempotent and safe when several callers start it at once.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
kind="${1:-native}"
case "$kind" in
    native) root="${WINE10_ROOT:-$here/../.cache/wine10}" ;;
    emulated) root="${WINE10_EMULATED_ROOT:-$here/../.cache/wine10-emulated}" ;;
    *) echo "usage: wine10-install.sh [native|emulated]" >&2; exit 2 ;;
esac
[ -f "$root/.ready" ] && exit 0
mkdir -p "$(dirname "$root")"
exec 8>"$root.lock"
flock 8
[ -f "$root/.ready" ] && exit 0

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
if ! command -v debootstrap >/dev/null; then
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq debootstrap >/dev/null
fi
archive="$("$here/apt-archive.sh")"
if [ "$kind" = native ]; then
    echo "Installing Wine 10 for x64 and x86 programs in $root (once; about 350 MB to download)"
else
    echo "Installing Wine 10 for x86 programs under CPU emulation in $root (once; about 600 MB to download)"
fi
started=$(date +%s)
# A tree left half-made by an interrupted run is made again from the start.
$sudo_cmd rm -rf "$root"
$sudo_cmd debootstrap --variant=minbase trixie "$root" "$archive" >"$root.log" 2>&1 \
    || { tail -20 "$root.log"; exit 1; }
inside() { $sudo_cmd chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@" >>"$root.log" 2>&1 \
    || { tail -20 "$root.log"; exit 1; }; }
if [ "$kind" = native ]; then
    inside apt-get install -y -qq --no-install-recommends wine wine64 libwine fonts-wine
    version=$($sudo_cmd chroot "$root" dpkg-query -W -f='${Version}' libwine)
    both=(-o APT::Architectures::=amd64 -o APT::Architectures::=i386)
    inside apt-get "${both[@]}" update -qq
    inside sh -c "mkdir -p /tmp/i386 && cd /tmp/i386 && apt-get ${both[*]} download libwine:i386=$version"
    inside sh -c 'dpkg-deb -x /tmp/i386/libwine_*_i386.deb /tmp/i386/tree \
        && mkdir -p /usr/lib/x86_64-linux-gnu/wine/i386-windows \
        && cp -a /tmp/i386/tree/usr/lib/i386-linux-gnu/wine/i386-windows/. /usr/lib/x86_64-linux-gnu/wine/i386-windows/ \
        && rm -rf /tmp/i386 && apt-get clean'
    # With a 32-bit loader present Wine would try it; without one it runs 32-bit programs in new
    # WoW64 mode by itself.
    $sudo_cmd rm -f "$root/usr/lib/wine/wine"
else
    inside dpkg --add-architecture i386
    inside apt-get update -qq
    inside apt-get install -y -qq --no-install-recommends wine wine64 wine32:i386 libwine libwine:i386 fonts-wine
    # The emulator alone (a static program), not the package with its dependencies.
    inside sh -c 'mkdir -p /tmp/qemu && cd /tmp/qemu && apt-get download qemu-user \
        && dpkg-deb -x qemu-user_*.deb tree && install -m 755 tree/usr/bin/qemu-i386 /usr/local/bin/qemu-i386 \
        && rm -rf /tmp/qemu && apt-get clean'
    # Where each run mounts the binfmt_misc of its own user namespace.
    $sudo_cmd mkdir -p "$root/binfmt"
fi
$sudo_cmd touch "$root/.ready"
if ! WINEDEBUG=-all WINE10_WAY="$kind" "$here/wine10.sh" wine --version; then
    $sudo_cmd rm -f "$root/.ready"
    exit 1
fi
echo "Installed in $(($(date +%s) - started)) s; the tree takes $(du -sh "$root" | cut -f1)"
