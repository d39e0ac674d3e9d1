#!/usr/bin/env bash
# Packs each plug-in and architecture as the editor's plug-in manager expects it: the library at the
# zip's root, the zip named after the plug-in, its version and the architecture; then SHA256SUMS.
# Zips carry fixed dates and no extra fields, so the same libraries always give the same zips.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top/dist"
rm -f ./*.zip SHA256SUMS
for plugin in Wordlamp Pickpath; do
    folder=$(tr 'A-Z' 'a-z' <<<"$plugin")
    # "1, 6, 1, 0" in the version resource gives 1.6.1.0.
    version=$(sed -n 's/.*VALUE "ProductVersion", "\(.*\)".*/\1/p' "$top/$folder/version.rc" | tr -d ' ' | tr ',' '.')
    for arch in x86 x64; do
        staging=$(mktemp -d)
        cp "$arch/$plugin.dll" "$staging/"
        touch -d '2000-01-01 00:00:00 UTC' "$staging/$plugin.dll"
        (cd "$staging" && TZ=UTC zip -q -X -D "$top/dist/${plugin}_${version}_${arch}.zip" "$plugin.dll")
        rm -rf "$staging"
    done
done
sha256sum ./*.zip | sed 's| \./| |' >SHA256SUMS
cat SHA256SUMS
