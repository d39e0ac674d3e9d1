#!/usr/bin/env bash
# Builds both architectures with their test programs (CMake presets x86 and x64, build/<arch>) and
# copies the plug-in libraries to dist/<arch>/.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
# ccache, when the machine has it, makes rebuilds of unchanged sources nearly free.
if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
fi
for arch in x86 x64; do
    cmake --preset "$arch" >/dev/null
    cmake --build --preset "$arch" --parallel "$(nproc)"
    mkdir -p "dist/$arch"
    cp "build/$arch/plugins/Wordlamp.dll" "build/$arch/plugins/Pickpath.dll" "dist/$arch/"
done
echo "Built: $(cd dist && ls x86/*.dll x64/*.dll | tr '\n' ' ')"
