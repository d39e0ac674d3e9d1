#!/usr/bin/env bash
# Installs what this machine is missing for building and testing (MinGW-w64 for x86 and x64,
# GoogleTest's sources, ccache, zip, Xvfb and ImageMagick for the pictures, debootstrap), then the
# project's Wine 10 that runs x86 and x64 programs alike (cmake/wine10-install.sh, once, in
# .cache/wine10) and its headless prefix.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
packages=(cmake g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest ccache zip xvfb imagemagick
    python3 binutils debootstrap util-linux)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
"$here/../cmake/wine10-install.sh"
"$here/../cmake/wine-prefix.sh"
