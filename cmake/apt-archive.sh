#!/usr/bin/env bash
# Prints the address of the Debian archive this machine's apt takes its packages from (the first
# "deb" source that is neither a security nor an updates archive), so the project's own trees come
# from the same place as everything else the machine installs. DEBIAN_MIRROR, when set, wins.
set -euo pipefail
if [ -n "${DEBIAN_MIRROR:-}" ]; then
    echo "$DEBIAN_MIRROR"
    exit 0
fi
sources=()
[ -f /etc/apt/sources.list ] && sources+=(/etc/apt/sources.list)
for file in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && sources+=("$file")
done
archive=""
for file in "${sources[@]}"; do
    case "$file" in
        *.sources)
            # deb822: "Types: deb" and "URIs: ..." in one stanza, stanzas apart by blank lines.
            archive=$(awk '
                /^[[:space:]]*$/ { if (deb && uri != "") { print uri; exit } deb = 0; uri = ""; next }
                tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
                tolower($1) == "uris:" { for (i = 2; i <= NF; i++) if ($i !~ /security|updates/) { uri = $i; break } }
                END { if (deb && uri != "") print uri }' "$file" | head -n 1) ;;
        *)
            archive=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:/) { if ($i !~ /security|updates/) print $i; break } }' \
                "$file" | head -n 1) ;;
    esac
    [ -n "$archive" ] && break
done
if [ -z "$archive" ]; then
    echo "apt's sources name no Debian archive; set DEBIAN_MIRROR to one" >&2
    exit 1
fi
echo "$archive"
