#!/usr/bin/env bash
# Builds both architectures (tests only for x64, the one that runs here) and copies the plug-in
# libraries to dist/<arch>/.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
jobs=$(nproc)
for arch in x86 x64; do
    testing=OFF
    [ "$arch" = x64 ] && testing=ON
    cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$testing >/dev/null
    cmake --build "build/$arch" --parallel "$jobs"
    mkdir -p "dist/$arch"
    cp "build/$arch/plugins/Wordlamp.dll" "build/$arch/plugins/Pickpath.dll" "dist/$arch/"
done
echo "Built: $(cd dist && ls x86/*.dll x64/*.dll | tr '\n' ' ')"
