#!/usr/bin/env bash
# Checks plug-in libraries without running them: machine type, the six undecorated exports, imports
# limited to Windows system libraries, a version resource, and no path of the building machine
# inside, no cryptographic provider started at load, and sections page-aligned in the file.
#   checkDlls.sh x86|x64 WORDLAMP_DLL PICKPATH_DLL [SOURCE_FOLDER]   the libraries a build made
#   checkDlls.sh DIST_FOLDER [SOURCE_FOLDER]                          both architectures in dist/
set -uo pipefail
usage='usage: checkDlls.sh x86|x64 WORDLAMP_DLL PICKPATH_DLL [SOURCE_FOLDER] | checkDlls.sh DIST_FOLDER [SOURCE_FOLDER]'
[ $# -ge 1 ] || { echo "$usage"; exit 2; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Libraries every Windows installation has; anything else (a MinGW runtime above all) is refused.
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|version|comdlg32|comctl32|ole32|oleaut32|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$'

# check ARCH WORDLAMP_DLL PICKPATH_DLL
check() {
    local arch="$1" objdump machine plugin dll
    case $arch in
        x86) objdump=i686-w64-mingw32-objdump; machine='file format pei-i386' ;;
        x64) objdump=x86_64-w64-mingw32-objdump; machine='file format pei-x86-64' ;;
        *) echo "$usage"; exit 2 ;;
    esac
    for plugin in Wordlamp Pickpath; do
        case $plugin in
            Wordlamp) dll="$2" ;;
            Pickpath) dll="$3" ;;
        esac
        [ -f "$dll" ] || { fail "$dll is missing"; continue; }
        headers=$($objdump -p "$dll")
        grep -q "$machine" <<<"$headers" || fail "$dll: not $machine"
        grep -q 'DLL' <<<"$headers" || fail "$dll: not a DLL"
        exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[ \t]*\[/{print $NF} on && /^$/{on=0}' <<<"$headers" | sort | tr '\n' ' ')
        expected=$(printf '%s\n' beNotified getFuncsArray getName isUnicode messageProc setInfo | sort | tr '\n' ' ')
        [ "$exports" = "$expected" ] || fail "$dll: exports are '$exports', expected '$expected'"
        imports=$(grep -i 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u)
        for lib in $imports; do
            [[ $lib =~ $allowed ]] || fail "$dll imports $lib, which is no system library"
        done
        grep -q '\.rsrc' <<<"$($objdump -h "$dll")" || fail "$dll: no resources"
        # Loading must not start the cryptographic provider (the stack guard comes from the system's
        # random generator), and sections lie page-aligned in the file, so the loader maps them.
        ! grep -q 'CryptAcquireContext' <<<"$headers" || fail "$dll: imports CryptAcquireContext"
        grep -q 'SystemFunction036' <<<"$headers" || fail "$dll: the stack guard is not seeded by the system's generator"
        grep -q 'FileAlignment[[:space:]]*0*1000$' <<<"$headers" || fail "$dll: sections not page-aligned in the file"
        # Read whole before searching: a search that stops early would fail the pipeline.
        wide=$(strings -e l "$dll")
        narrow=$(strings "$dll")
        grep -qx 'InternalName' <<<"$wide" || fail "$dll: no version strings"
        grep -qx "$plugin" <<<"$wide" || fail "$dll: version resource does not name $plugin"
        # Nothing of the building machine: the same sources give the same library anywhere.
        if [ -n "$source_folder" ] && grep -qF "$source_folder" <<<"$narrow$wide"; then
            fail "$dll holds the build machine's path $source_folder"
        fi
        echo "ok: $dll ($arch, exports: $exports, imports: $(echo $imports | tr '\n' ' '))"
    done
}

if [ -d "$1" ]; then
    source_folder="${2:-}"
    for arch in x86 x64; do
        check "$arch" "$1/$arch/Wordlamp.dll" "$1/$arch/Pickpath.dll"
    done
else
    [ $# -ge 3 ] || { echo "$usage"; exit 2; }
    source_folder="${4:-}"
    check "$1" "$2" "$3"
fi
if [ "$failures" -eq 0 ]; then
    echo "1 passed, 0 failed"
else
    echo "0 passed, 1 failed"
    exit 1
fi
