#!/usr/bin/env bash
# Installs, once, the Wine that runs both architectures here: Debian 13's Wine 10 in a minimal
# Debian 13 tree. This machine's kernel refuses 32-bit Linux programs, but Wine 10's new WoW64 mode
# runs 32-bit Windows programs inside a 64-bit process and needs no 32-bit Linux library, only the
# 32-bit Windows half of Wine, which is taken from the i386 package of the same version.
# Idempotent and safe when several callers start it at once. WINE10_ROOT chooses the folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="${WINE10_ROOT:-$here/../.cache/wine10}"
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"
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
echo "Installing Wine 10 for x86 and x64 programs in $root (once; about 350 MB to download)"
# A tree left half-made by an interrupted run is made again from the start.
$sudo_cmd rm -rf "$root"
$sudo_cmd debootstrap --variant=minbase trixie "$root" "$mirror" >"$root.log" 2>&1 \
    || { tail -20 "$root.log"; exit 1; }
inside() { $sudo_cmd chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
inside apt-get install -y -qq --no-install-recommends wine wine64 libwine fonts-wine >>"$root.log" 2>&1 \
    || { tail -20 "$root.log"; exit 1; }
version=$(inside dpkg-query -W -f='${Version}' libwine)
both=(-o APT::Architectures::=amd64 -o APT::Architectures::=i386)
inside apt-get "${both[@]}" update -qq >>"$root.log" 2>&1
inside sh -c "mkdir -p /tmp/i386 && cd /tmp/i386 && apt-get ${both[*]} download libwine:i386=$version" \
    >>"$root.log" 2>&1 || { tail -20 "$root.log"; exit 1; }
inside sh -c 'dpkg-deb -x /tmp/i386/libwine_*_i386.deb /tmp/i386/tree \
    && mkdir -p /usr/lib/x86_64-linux-gnu/wine/i386-windows \
    && cp -a /tmp/i386/tree/usr/lib/i386-linux-gnu/wine/i386-windows/. /usr/lib/x86_64-linux-gnu/wine/i386-windows/ \
    && rm -rf /tmp/i386 && apt-get clean'
# With a 32-bit loader present Wine would try it (and fail here); without one it runs 32-bit
# programs in new WoW64 mode by itself.
$sudo_cmd rm -f "$root/usr/lib/wine/wine"
$sudo_cmd touch "$root/.ready"
WINEDEBUG=-all "$here/wine10.sh" wine --version || { $sudo_cmd rm -f "$root/.ready"; exit 1; }
