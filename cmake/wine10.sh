#!/usr/bin/env bash
# Runs one command (wine, wineserver, winepath, ...) of the project's Wine 10 (see wine10-install.sh)
# in a mount namespace of its own: the Debian 13 tree becomes the root, with /proc, /dev, the
# repository and the current folder (plus WINE_BIND_PATHS, colon-separated) bound at their own
# paths, so every path means the same inside and out. The mounts end with the command's namespace;
# nothing stays mounted.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(cd "$here/.." && pwd)"
root="$(cd "${WINE10_ROOT:-$top/.cache/wine10}" 2>/dev/null && pwd || true)"
if [ -z "${WINE10_INSIDE:-}" ]; then
    "$here/wine10-install.sh"
    root="$(cd "${WINE10_ROOT:-$top/.cache/wine10}" && pwd)"
    user=()
    [ "$(id -u)" -eq 0 ] || user=(--map-root-user)
    exec unshare "${user[@]}" --mount --propagation private env WINE10_INSIDE=1 WINE10_ROOT="$root" "$0" "$@"
fi
mount -t proc proc "$root/proc"
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
unset WINE10_INSIDE
exec chroot "$root" /bin/sh -c 'cd "$0" && exec "$@"' "$PWD" "$@"
