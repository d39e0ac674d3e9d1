#!/usr/bin/env bash
# Installs what this machine is missing for building and testing:
#   setup.sh            everything, in order
#   setup.sh --packages the machine's packages (MinGW-w64 for x86 and x64, GoogleTest's sources, ccache,
#                       zip, Xvfb and ImageMagick for the pictures, debootstrap), which the builds need
#   setup.sh --wine     the project's Wine 10 (cmake/wine10-install.sh, once, in .cache/wine10), its
#                       headless prefix, and the emulated Wine where the processor gives no 32-bit
#                       mode (.cache/wine10-emulated); the builds don't need it, so the test and main
#                       commands run this beside them
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
what="${1:-all}"
if [ "$what" != --wine ]; then
    packages=(cmake g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest ccache zip xvfb imagemagick
        python3 binutils debootstrap util-linux bc clang-format)
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
fi
if [ "$what" != --packages ]; then
    "$here/../cmake/wine10-install.sh" native
    "$here/../cmake/wine-prefix.sh"
    # Needed for x86 only where the processor runs no 32-bit code (cmake/x86-runs.sh finds the way).
    "$here/../cmake/x86-runs.sh" --expect || "$here/../cmake/wine10-install.sh" emulated
fi
