#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ source differs from what clang-format makes of it.
# To lay them all out: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$1"
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "clang-format is not installed (scripts/setup.sh --packages installs it)" >&2
    exit 1
fi
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null) \
    || files=$(find framework wordlamp pickpath standin tests bench \( -name '*.cpp' -o -name '*.h' \) | sort)
differing=()
while IFS= read -r file; do
    "$format" --dry-run --Werror "$file" >/dev/null 2>&1 || differing+=("$file")
done <<<"$files"
if [ ${#differing[@]} -gt 0 ]; then
    echo "Not laid out as .clang-format says (${#differing[@]} files):"
    printf '  %s\n' "${differing[@]}"
    echo "Lay them out: clang-format -i FILE..."
    exit 1
fi
echo "All $(wc -l <<<"$files") sources laid out as .clang-format says."
