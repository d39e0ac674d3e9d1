#!/usr/bin/env bash
# Builds the benchmarks for x64 and runs them under Wine: the loading of both plug-ins, and Pickpath's
# search through 20,000 folders against a minimal walker over the same tree. The libraries measured
# are stripped copies, as they ship. BUILD_DIR chooses the build folder (default build/x64);
# --loading measures the loading alone.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
build="${BUILD_DIR:-build/x64}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-x64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target pickpathBench --parallel 2
shipped="$(cd "$build" && pwd)/bench/shipped"
mkdir -p "$shipped"
for plugin in Wordlamp Pickpath; do
    x86_64-w64-mingw32-objcopy --strip-all "$build/plugins/$plugin.dll" "$shipped/$plugin.dll"
done
"$top/cmake/wine-run.sh" "$build/bench/pickpathBench.exe" "$@" "Z:${shipped//\//\\}"
