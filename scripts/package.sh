#!/usr/bin/env bash
# Packs each plug-in and architecture as the editor's plug-in manager expects it: the library at the
# zip's root, the zip named after the plug-in, its version and the architecture; then SHA256SUMS.
# Zips carry fixed dates and no extra fields, so the same libraries always give the same zips.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top/dist"
rm -f ./*.zip SHA256SUMS

# The libraries ship without their debug information (most of their size); it stays beside the
# release in symbols/<arch>/, and each library names its file (a debug link) for crash analysis.
# A library already stripped keeps the symbols taken from it before.
for arch in x86 x64; do
    case $arch in
        x86) tools=i686-w64-mingw32 ;;
        x64) tools=x86_64-w64-mingw32 ;;
    esac
    mkdir -p "symbols/$arch"
    for plugin in Wordlamp Pickpath; do
        dll="$arch/$plugin.dll"
        [ -f "$dll" ] || continue
        "$tools-objdump" -h "$dll" | grep -q '\.debug_info' || continue
        before=$(stat -c %s "$dll")
        "$tools-objcopy" --only-keep-debug "$dll" "symbols/$arch/$plugin.dll.debug"
        "$tools-objcopy" --strip-all "$dll" "$dll.stripped"
        # The link holds the file's name and checksum only, so it is found beside the library or in a
        # debugger's symbol folder.
        (cd "symbols/$arch" && "$tools-objcopy" --add-gnu-debuglink="$plugin.dll.debug" "$top/dist/$dll.stripped")
        mv "$dll.stripped" "$dll"
        echo "$dll: $before bytes, stripped $(stat -c %s "$dll"), symbols/$arch/$plugin.dll.debug $(stat -c %s "symbols/$arch/$plugin.dll.debug")"
    done
done
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
