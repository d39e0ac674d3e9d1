#!/usr/bin/env bash
# Packs each plug-in and architecture as the editor's plug-in manager expects it: the library at the
# zip's root and its user guide in doc/ (installed beside it), the zip named after the plug-in, its
# version and the architecture; then SHA256SUMS and the editor's plug-in list entries, pl.x86.json
# and pl.x64.json. Zips carry fixed dates and no extra fields, so the same libraries always give the
# same zips.
#
# DIST_DIR: the folder holding x86/ and x64/ (default dist/). PLUGINS_DOWNLOAD_URL and
# PLUGINS_HOMEPAGE: where the zips will be downloaded from and the project's page, for the list
# entries (placeholders by default: set them before publishing).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
downloads="${PLUGINS_DOWNLOAD_URL:-https://example.org/editor-plugins/download}"
homepage="${PLUGINS_HOMEPAGE:-https://example.org/editor-plugins}"
cd "${DIST_DIR:-$top/dist}"
dist="$(pwd)"
rm -f ./*.zip SHA256SUMS pl.x86.json pl.x64.json

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
        (cd "symbols/$arch" && "$tools-objcopy" --add-gnu-debuglink="$plugin.dll.debug" "$dist/$dll.stripped")
        mv "$dll.stripped" "$dll"
        echo "$dll: $before bytes, stripped $(stat -c %s "$dll"), symbols/$arch/$plugin.dll.debug $(stat -c %s "symbols/$arch/$plugin.dll.debug")"
    done
done
for plugin in Wordlamp Pickpath; do
    folder=$(tr 'A-Z' 'a-z' <<<"$plugin")
    # "1, 6, 1, 0" in the version resource gives 1.6.1.0.
    version=$(sed -n 's/.*VALUE "ProductVersion", "\(.*\)".*/\1/p' "$top/$folder/version.rc" | tr -d ' ' | tr ',' '.')
    for arch in x86 x64; do
        [ -f "$arch/$plugin.dll" ] || continue
        staging=$(mktemp -d)
        cp "$arch/$plugin.dll" "$staging/"
        mkdir "$staging/doc"
        python3 "$top/scripts/userGuide.py" "$top/README.md" "$plugin" >"$staging/doc/$plugin.md"
        touch -d '2000-01-01 00:00:00 UTC' "$staging/$plugin.dll" "$staging/doc/$plugin.md" "$staging/doc"
        (cd "$staging" && TZ=UTC zip -q -X -D "$dist/${plugin}_${version}_${arch}.zip" "$plugin.dll" "doc/$plugin.md")
        rm -rf "$staging"
    done
done
sha256sum ./*.zip | sed 's| \./| |' >SHA256SUMS
cat SHA256SUMS
for arch in x86 x64; do
    python3 "$top/scripts/pluginList.py" "$arch" "$dist" "$top" "$downloads" "$homepage"
    echo "pl.$arch.json: the editor's plug-in list entries for $arch"
done
