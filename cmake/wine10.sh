#!/usr/bin/env bash
# Runs one command (wine, wineserver, winepath, ...) of the project's Wine 10 (see wine10-install.sh)
# in a mount namespace of its own: the Debian 13 tree becomes the root, with /proc, /dev, the
# repository and the current folder (plus WINE_BIND_PATHS, colon-separated) bound at their own
# paths, so every path means the same inside and out. The mounts end with the command's namespace;
# nothing stays mounted.
#
# WINE10_WAY chooses the tree: "native" (the default) or "emulated", where 32-bit programs run under
# qemu-i386. The kernel hands a 32-bit program to the emulator only through binfmt_misc; kernels from
# 6.7 on give every user namespace a binfmt_misc of its own, so the emulated way runs each command in
# a user namespace of its own, registers the emulator there and nowhere else: when the namespace's
# last process ends, the registration and every mount end with it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(cd "$here/.." && pwd)"
way="${WINE10_WAY:-native}"
case "$way" in
    native) tree="${WINE10_ROOT:-$top/.cache/wine10}" ;;
    emulated) tree="${WINE10_EMULATED_ROOT:-$top/.cache/wine10-emulated}" ;;
    *) echo "WINE10_WAY is native or emulated, not '$way'" >&2; exit 2 ;;
esac
if [ -z "${WINE10_INSIDE:-}" ]; then
    "$here/wine10-install.sh" "$way"
    root="$(cd "$tree" && pwd)"
    user=()
    if [ "$way" = emulated ]; then
        # Root inside is the caller outside: the tree and the build folders stay the caller's.
        user=(--user --map-root-user)
    elif [ "$(id -u)" -ne 0 ]; then
        user=(--map-root-user)
    fi
    exec unshare "${user[@]}" --mount --propagation private env WINE10_INSIDE=1 WINE10_ROOT_INSIDE="$root" "$0" "$@"
fi
root="$WINE10_ROOT_INSIDE"
if [ "$way" = emulated ]; then
    mount -t binfmt_misc binfmt_misc "$root/binfmt" || {
        echo "this kernel ($(uname -r)) gives a user namespace no binfmt_misc of its own (6.7 and later do)" >&2
        exit 125
    }
    # 32-bit x86 ELF programs (the magic and mask of qemu's own table); F: the emulator is opened
    # now, so it runs inside the tree without a copy of itself there.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$root"'/usr/local/bin/qemu-i386:F' \
        >"$root/binfmt/register"
    mount --rbind /proc "$root/proc"
    mount --rbind /sys "$root/sys"
    # The emulated Wine aborts ("free(): invalid pointer") when TMPDIR is set.
    unset TMPDIR
else
    mount -t proc proc "$root/proc"
fi
mount --rbind /dev "$root/dev"
binds="$top:$PWD:${WINE_BIND_PATHS:-}"
# A program on a display (pictures) reaches the X server through its socket folder.
[ -n "${DISPLAY:-}" ] && binds="$binds:/tmp/.X11-unix"
IFS=: read -r -a folders <<<"$binds"
for folder in "${folders[@]}"; do
    [ -n "$folder" ] && [ -d "$folder" ] || continue
    folder="$(cd "$folder" && pwd -P)"
    mountpoint -q "$root$folder" && continue
    mkdir -p "$root$folder"
    mount --bind "$folder" "$root$folder"
done
unset WINE10_INSIDE WINE10_ROOT_INSIDE
exec chroot "$root" /bin/sh -c 'cd "$0" && exec "$@"' "$PWD" "$@"
