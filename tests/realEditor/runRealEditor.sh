#!/usr/bin/env bash
# Runs one scenario of the probe in the real editor and checks what the probe logged.
#
#   runRealEditor.sh BUILD_DIR SCENARIO_FILE       one scenario group; exit 0 pass, 1 fail, 77 no editor
#   runRealEditor.sh --loading N BUILD_DIR         N starts with the probe alone, N with both plug-ins:
#                                                  the median milliseconds from process start to NPPN_READY
#                                                  (PLUGIN_LIBRARIES: a folder of other builds of the two)
#   runRealEditor.sh --prepare BUILD_DIR SCENARIO  only set up the editor's copy and print its folder
#                                                  (scripts/pictures.sh runs it on a display)
#
# The editor is the portable folder named by NOTEPADPP_X64 / NOTEPADPP_X86 (by the build folder's
# architecture), else ../shared/host/notepad++-x64 (-x86) beside the repository. The folder is
# copied below the build folder for every run: the editor writes its configuration beside itself.
#
# Lines of a scenario file the runner reads (the probe ignores them; the rest are the probe's steps):
#   setup file PATH TEXT        add the line TEXT to the file PATH below the editor's copy
#   setup lines PATH N TEXT     add the lines "TEXT 1" to "TEXT N" to the file PATH likewise
#   setup remove PATH           remove PATH below the editor's copy (doLocalConf.xml: not portable)
#   setup clean appdata         remove the editor's folder from the Wine user's application data
#   setup clean recorder        remove what the shell's recorder wrote in an earlier run
#   setup plugins A B           install only these of Wordlamp, Pickpath (default: both)
#   setup probe NAME            install the probe as plugins\NAME\NAME.dll: the folder's name sets
#                               its turn among the plug-ins (default Probe, between the two)
#   expect log REGEX            a line of the probe's log matches (grep -E)
#   expect nolog REGEX          no line of the probe's log matches
#   expect count N REGEX        exactly N lines of the probe's log match
#   expect exit CODE            the editor's exit code
#   expect file PATH REGEX      the file below the editor's copy (UTF-16 or not) has a matching line
#   expect nofile PATH REGEX    the file has no matching line, or isn't there
#   expect appdata PATH REGEX   the same below the Wine user's application-data folder
# %EDITOR% in any line stands for the editor copy's Windows path, %STANDINS% for the folder that
# holds the HTML Help engine stand-in (hhStandin.dll) and the shell's recorder (shellRecorder.exe).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

loadingRounds=0
prepareOnly=no
if [ "${1:-}" = "--prepare" ]; then
    prepareOnly=yes
    shift
elif [ "${1:-}" = "--loading" ]; then
    loadingRounds="$2"
    shift 2
fi
build="$(cd "$1" && pwd)"
scenario="${2:-}"

arch=x64
grep -q 'toolchain-mingw-x86' "$build/CMakeCache.txt" 2>/dev/null && arch=x86
objcopy=x86_64-w64-mingw32-objcopy
# The plug-ins' libraries timed by --loading: the build's, or another build's for a before and after.
libraries="${PLUGIN_LIBRARIES:-$build/plugins}"
[ "$arch" = x86 ] && objcopy=i686-w64-mingw32-objcopy
if [ "$arch" = x86 ]; then editor="${NOTEPADPP_X86:-$repo/../shared/host/notepad++-x86}"; else editor="${NOTEPADPP_X64:-$repo/../shared/host/notepad++-x64}"; fi
if [ ! -f "$editor/notepad++.exe" ]; then
    echo "The real-editor tests did NOT run: no $arch editor at $editor (set NOTEPADPP_${arch^^} to a portable Notepad++ folder)."
    exit 77
fi
way=native
if [ "$arch" = x86 ]; then
    if ! answer=$("$repo/cmake/x86-runs.sh"); then
        echo "The real-editor tests did NOT run for x86: $(tail -n 1 <<<"$answer")"
        exit 77
    fi
    way=$(head -n 1 <<<"$answer")
fi
for part in plugins/Wordlamp.dll plugins/Pickpath.dll tests/realEditor/Probe.dll tests/wordlampTest/hhStandin.dll tests/wordlampTest/shellRecorder.exe; do
    if [ ! -f "$build/$part" ]; then
        echo "missing $build/$part: build the targets Probe Wordlamp Pickpath hhStandin shellRecorder first"
        exit 1
    fi
done

# Each way of running x86 programs (cmake/x86-runs.sh) has its own Wine tree, and so its own prefix.
export WINEPREFIX="$build/wineprefix-editor"
[ "$way" = emulated ] && WINEPREFIX="$build/wineprefix-editor-emulated"
export WINE10_WAY="$way"
appdataFolder() { ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v /Public/ | head -n 1; }
windowsPath() { local p="$1"; p="${p//\//\\}"; printf 'Z:%s' "$p"; }

# Makes a fresh copy of the editor with the probe, the chosen plug-ins and the scenario; sets $copy.
prepare() {
    local name="$1" scenarioFile="$2"
    copy="$build/realEditor/$name"
    rm -rf "$copy"
    mkdir -p "$copy"
    cp -r "$editor/." "$copy/"
    chmod -R u+w "$copy"
    local winCopy; winCopy="$(windowsPath "$copy")"
    local plugins="Wordlamp Pickpath"
    probe=Probe
    local line
    while IFS= read -r line || [ -n "$line" ]; do
        line="${line//%EDITOR%/$winCopy}"
        case "$line" in
            "setup plugins"*) plugins="${line#setup plugins}" ;;
            "setup probe "*) probe="${line#setup probe }" ;;
        esac
    done <"$scenarioFile"
    for plugin in $plugins; do
        mkdir -p "$copy/plugins/$plugin"
        if [ "$loadingRounds" -gt 0 ]; then
            # Timed as they ship: stripped.
            "$objcopy" --strip-all "$libraries/$plugin.dll" "$copy/plugins/$plugin/$plugin.dll"
        else
            cp "$build/plugins/$plugin.dll" "$copy/plugins/$plugin/"
        fi
    done
    mkdir -p "$copy/plugins/$probe"
    cp "$build/tests/realEditor/Probe.dll" "$copy/plugins/$probe/$probe.dll"
    mkdir -p "$copy/work" "$copy/plugins/Config"
    # The stand-ins registered in the prefix for all copies alike: one place shared by the groups
    # (each editor has its own instance of the engine, and only one group uses the browser).
    mkdir -p "$build/realEditor/standins"
    for standin in hhStandin.dll shellRecorder.exe; do
        cmp -s "$build/tests/wordlampTest/$standin" "$build/realEditor/standins/$standin" \
            || cp "$build/tests/wordlampTest/$standin" "$build/realEditor/standins/"
    done
    local standins; standins="$(windowsPath "$build/realEditor/standins")"
    while IFS= read -r line || [ -n "$line" ]; do
        printf '%s\n' "${line//%STANDINS%/$standins}"
    done <"$scenarioFile" >"$copy/plugins/$probe/scenario.txt"
    while IFS= read -r line || [ -n "$line" ]; do
        line="${line//%EDITOR%/$winCopy}"
        line="${line//%STANDINS%/$(windowsPath "$build/realEditor/standins")}"
        case "$line" in
            "setup file "*)
                local rest="${line#setup file }"; local path="${rest%% *}" text="${rest#* }"
                mkdir -p "$(dirname "$copy/$path")"
                printf '%s\r\n' "$text" >>"$copy/$path" ;;
            "setup lines "*)
                local rest="${line#setup lines }"; local path="${rest%% *}"; rest="${rest#* }"
                local count="${rest%% *}" text="${rest#* }"
                mkdir -p "$(dirname "$copy/$path")"
                for ((n = 1; n <= count; n++)); do printf '%s %s\r\n' "$text" "$n"; done >>"$copy/$path" ;;
            "setup remove "*) rm -rf "${copy:?}/${line#setup remove }" ;;
            "setup clean appdata") rm -rf "$(appdataFolder)/Notepad++" ;;
            "setup clean recorder") rm -f "$build/realEditor/standins/shellRecorder.log" ;;
        esac
    done <"$scenarioFile"
}

# Runs the prepared copy; sets $exitCode and $seconds.
runEditor() {
    # A new prefix takes a minute to make (more under emulation), which the editor's limit leaves out.
    "$repo/cmake/wine-prefix.sh"
    local started; started=$(date +%s.%N)
    # -multiInst: without it, an editor started while another one runs in the same prefix (the
    # groups run side by side) hands its command line to that one and ends at once. Under emulation
    # the editor starts in about 10 s rather than 3.
    local limit=100
    [ "$way" = emulated ] && limit=200
    timeout "$limit" "$repo/cmake/wine-run.sh" "$copy/notepad++.exe" -multiInst >"$copy/wine-output.txt" 2>&1
    exitCode=$?
    seconds=$(echo "$(date +%s.%N) - $started" | bc)
}

textOf() {
    # The settings files are UTF-16 with a byte-order mark; the rest is plain.
    if [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then iconv -f UTF-16 -t UTF-8 "$1" | tr -d '\r'; else tr -d '\r' <"$1"; fi
}

if [ "$loadingRounds" -gt 0 ]; then
    loadingScenario="$build/realEditor/loading.scenario"
    mkdir -p "$build/realEditor"
    median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
    # The probe loads first (AProbe): from its setInfo to NPPN_READY the editor loads the other
    # plug-ins and finishes starting, without the process start's noise. The two sets take turns,
    # so that a slower spell of the machine weighs on both alike.
    sets=("" "Wordlamp Pickpath")
    declare -A times spans
    for round in $(seq "$loadingRounds"); do
        for index in 0 1; do
            printf 'setup plugins %s\nsetup probe AProbe\nclose\n' "${sets[$index]}" >"$loadingScenario"
            prepare loading "$loadingScenario"
            runEditor
            probeLog="$copy/plugins/$probe/probe.log"
            ready="$(sed -n 's/^ready ms=\([0-9]*\).*/\1/p' "$probeLog")"
            loaded="$(sed -n 's/^setInfo ms=\([0-9]*\).*/\1/p' "$probeLog")"
            times[$index]="${times[$index]:-} $ready"
            spans[$index]="${spans[$index]:-} $((ready - loaded))"
        done
    done
    for index in 0 1; do
        if [ -n "${sets[$index]}" ]; then what="the probe and ${sets[$index]}"; else what="the probe alone"; fi
        # shellcheck disable=SC2086
        echo "$arch, $what: start to NPPN_READY median $(median ${times[$index]}) ms (${times[$index]# });" \
            "the probe's setInfo to NPPN_READY median $(median ${spans[$index]}) ms (${spans[$index]# })"
    done
    # What the plug-ins add, round by round (each round ran both sets one after the other).
    read -ra aloneSpans <<<"${spans[0]}"
    read -ra bothSpans <<<"${spans[1]}"
    read -ra aloneTimes <<<"${times[0]}"
    read -ra bothTimes <<<"${times[1]}"
    spanDifferences=()
    timeDifferences=()
    for i in "${!aloneSpans[@]}"; do
        spanDifferences+=("$((bothSpans[i] - aloneSpans[i]))")
        timeDifferences+=("$((bothTimes[i] - aloneTimes[i]))")
    done
    echo "$arch, added by ${sets[1]}, median of the rounds: $(median "${timeDifferences[@]}") ms to NPPN_READY" \
        "(${timeDifferences[*]}), $(median "${spanDifferences[@]}") ms from the probe's setInfo (${spanDifferences[*]})"
    exit 0
fi

group="$(basename "$scenario" .scenario)"
prepare "$group" "$scenario"
if [ "$prepareOnly" = yes ]; then
    echo "$copy"
    exit 0
fi
runEditor
log="$copy/plugins/$probe/probe.log"
touch "$log"
failures=0
checks=0
if ! grep -q '^probe loaded' "$log"; then
    echo "   FAILED: the probe never ran in the editor (see $copy/wine-output.txt)"
    failures=1
fi
report() {
    checks=$((checks + 1))
    if [ "$1" = 0 ]; then echo "   ok: $2"; else echo "   FAILED: $2"; failures=$((failures + 1)); fi
}
appdata="$(appdataFolder)"
echo "== real editor ($arch), $group: editor ran ${seconds} s, exit code $exitCode"
winCopy="$(windowsPath "$copy")"
while IFS= read -r line || [ -n "$line" ]; do
    line="${line//%EDITOR%/$winCopy}"
    case "$line" in
        "expect log "*) grep -qE -- "${line#expect log }" "$log"; report $? "log has: ${line#expect log }" ;;
        "expect count "*)
            rest="${line#expect count }"; count="${rest%% *}"; pattern="${rest#* }"
            [ "$(grep -cE -- "$pattern" "$log")" = "$count" ]; report $? "log has $count lines: $pattern" ;;
        "expect nolog "*) ! grep -qE -- "${line#expect nolog }" "$log"; report $? "log lacks: ${line#expect nolog }" ;;
        "expect exit "*) [ "$exitCode" = "${line#expect exit }" ]; report $? "exit code ${line#expect exit } (was $exitCode)" ;;
        "expect file "* | "expect appdata "*)
            rest="${line#expect * }"; path="${rest%% *}"; pattern="${rest#* }"
            # Wine keeps the case a folder was made with: plugins\Config or Plugins\Config.
            if [ "${line#expect appdata}" != "$line" ]; then base="$appdata"; else base="$copy"; fi
            file="$(find "$base" -ipath "$base/$path" 2>/dev/null | head -n 1)"
            [ -n "$file" ] && textOf "$file" | grep -qE -- "$pattern"; report $? "${line#expect } " ;;
        "expect nofile "*)
            rest="${line#expect nofile }"; path="${rest%% *}"; pattern="${rest#* }"
            file="$(find "$copy" -ipath "$copy/$path" 2>/dev/null | head -n 1)"
            ! { [ -n "$file" ] && textOf "$file" | grep -qE -- "$pattern"; }; report $? "${line#expect } " ;;
    esac
done <"$scenario"
if [ "$failures" -ne 0 ]; then
    echo "--- probe log"
    cat "$log"
    echo "--- $failures of $checks checks failed"
    exit 1
fi
echo "== $group: all $checks checks passed"
