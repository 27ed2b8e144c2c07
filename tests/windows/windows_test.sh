#!/usr/bin/env bash
# The Windows programs under Wine against the Linux build, as a school would use them:
#   1. the example school imported, given a timetable and exported by transxade.exe gives
#      tables and HORARIO.CSV byte-equal to the Linux build's;
#   2. the same in a folder whose name has a space and a non-ASCII letter ("Horário 2026");
#   3. two transxade.exe imports started together on one work folder exclude each other;
#   4. the window started embedded in a plain Win32 host is its child at (2,2) without caption,
#      ends when the host closes, and leaves "Vestrano.ini" beside its program file; at 144 DPI
#      it has the same size in pixels.
#
# Usage: windows_test.sh WINDOWS_BUILD DEPLOY_FOLDER LINUX_TRANSXADE LINUX_STANDIN SOURCE_FOLDER
# Runs inside scripts/windows.sh's test stage: Wine's prefix, WINEPATH and an X server are set.
set -euo pipefail

win_build=$1 deploy=$2 linux_cli=$3 linux_standin=$4 source=$5
school=$source/examples/school make_school=$source/bench/make_school.sh
wine64=/usr/lib/wine/wine64
export LC_ALL=C.UTF-8 # Wine reads the arguments' bytes in the locale's code set
exe=$win_build/src/cli/transxade.exe
standin=$win_build/tools/standin/vestrano-standin.exe
host=$win_build/tools/win32host/win32host.exe

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# The Windows name of a Linux path: Wine's drive Z: is the root of the Linux file system.
winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }
wrun() { "$wine64" "$@"; }

# Every file of two folders byte-equal, apart from the run file (it names the process).
same_folder() {
    local a=$1 b=$2 what=$3 f ok=1
    if ! diff <(cd "$a" && ls | grep -v '^TRANSXADE.RUN$' | sort) <(cd "$b" && ls | grep -v '^TRANSXADE.RUN$' | sort) >&2; then
        fail "$what: the two folders hold different files"
        return
    fi
    for f in $(cd "$a" && ls | grep -v '^TRANSXADE.RUN$'); do
        if ! cmp -s "$a/$f" "$b/$f"; then
            fail "$what: $f differs"
            cmp "$a/$f" "$b/$f" | head -n 3 >&2 || true
            ok=0
        fi
    done
    [ "$ok" -eq 1 ] && pass "$what: $(cd "$a" && ls | grep -vc '^TRANSXADE.RUN$') files byte-equal"
}

# --- 1. The example school, Linux against Windows --------------------------------------------
ref=$scratch/linux
mkdir -p "$ref/work" "$ref/out"
{
    "$linux_cli" import --csv "$school" --call 2026ORD --levels "$school/niveles.csv" --work "$ref/work"
    cp -r "$ref/work" "$ref/imported" # the import's tables, before the timetable and the export
    "$linux_standin" --work "$ref/work" --seed 1
    "$linux_cli" export --csv "$ref/out" --work "$ref/work"
} >"$scratch/linux.txt" 2>&1 || { cat "$scratch/linux.txt" >&2; echo "the Linux build's round trip failed" >&2; exit 1; }

win=$scratch/windows
mkdir -p "$win/work" "$win/out"
if wrun "$exe" import --csv "$(winpath "$school")" --call 2026ORD --levels "$(winpath "$school/niveles.csv")" \
        --work "$(winpath "$win/work")" >"$scratch/import.txt" 2>&1 &&
   wrun "$standin" --work "$(winpath "$win/work")" --seed 1 >/dev/null 2>&1 &&
   wrun "$exe" export --csv "$(winpath "$win/out")" --work "$(winpath "$win/work")" >"$scratch/export.txt" 2>&1; then
    same_folder "$ref/work" "$win/work" "example school, work folder"
    same_folder "$ref/out" "$win/out" "example school, HORARIO.CSV"
else
    fail "the Windows round trip of the example school failed:"
    cat "$scratch/import.txt" "$scratch/export.txt" >&2 || true
fi

# --- 2. A folder named with a space and a non-ASCII letter ------------------------------------
folder="$scratch/Horário 2026"
mkdir -p "$folder"
cp "$school"/*.csv "$folder/"
mkdir -p "$folder/VTEMP"
if wrun "$exe" import --csv "$(winpath "$folder")" --call 2026ORD --levels "$(winpath "$folder/niveles.csv")" \
        --work "$(winpath "$folder/VTEMP")" >"$scratch/accented.txt" 2>&1; then
    same_folder "$ref/imported" "$folder/VTEMP" "folder \"Horário 2026\""
    # An error names the folder as the user wrote it.
    rm "$folder/aulasCentro.csv"
    printf 'CODIGO,NOME\nSOLO\n' >"$folder/aulasCentro.csv"
    wrun "$exe" import --csv "$(winpath "$folder")" --call 2026ORD --levels "$(winpath "$folder/niveles.csv")" \
        --work "$(winpath "$folder/VTEMP")" --no-reuse >/dev/null 2>"$scratch/accented-error.txt" || true
    if grep -qF "Horário 2026\\aulasCentro.csv:2: List index out of bounds" "$scratch/accented-error.txt"; then
        pass "folder \"Horário 2026\": an error names the file in it"
    else
        fail "folder \"Horário 2026\": the error does not name the file:"
        cat "$scratch/accented-error.txt" >&2
    fi
else
    fail "the import in \"Horário 2026\" failed:"
    cat "$scratch/accented.txt" >&2
fi

# --- 3. Two imports at once on one work folder ------------------------------------------------
# A school large enough that an import takes a while: the second import starts while the first
# holds the work folder, and must leave it alone with the message.
big=$scratch/big
bash "$make_school" "$big/csv" 1500 >/dev/null
mkdir -p "$big/ref"
"$linux_cli" import --csv "$big/csv" --call 2026ORD --levels "$big/csv/niveles.csv" --work "$big/ref" >/dev/null 2>&1
big_args=(import --csv "$(winpath "$big/csv")" --call 2026ORD --levels "$(winpath "$big/csv/niveles.csv")")
overlapped=0
for round in 1 2 3; do
    shared=$big/shared-$round
    mkdir -p "$shared"
    (wrun "$exe" "${big_args[@]}" --work "$(winpath "$shared")" >/dev/null 2>"$scratch/a.txt"; echo $? >"$scratch/a.rc") &
    first=$!
    # The run file appears when the first import takes the folder.
    until [ -e "$shared/TRANSXADE.RUN" ] || ! kill -0 "$first" 2>/dev/null; do sleep 0.02; done
    if kill -0 "$first" 2>/dev/null; then
        overlapped=$((overlapped + 1))
        rc=0
        wrun "$exe" "${big_args[@]}" --work "$(winpath "$shared")" >/dev/null 2>"$scratch/b.txt" || rc=$?
        if [ "$rc" = 2 ] && grep -q "Otra conversi" "$scratch/b.txt"; then
            pass "two imports, round $round: the second was refused while the first ran"
        else
            fail "two imports, round $round: the second import ended with $rc while the first ran:"
            cat "$scratch/b.txt" >&2
        fi
    fi
    wait "$first"
    [ "$(cat "$scratch/a.rc")" = 0 ] || { fail "two imports, round $round: the first import failed:"; cat "$scratch/a.txt" >&2; }
    same_folder "$big/ref" "$shared" "two imports, round $round"
done
[ "$overlapped" -gt 0 ] || fail "two imports: the first import always ended before the second could start"

# --- 4. Embedded in a Win32 host ---------------------------------------------------------------
program=$scratch/program
cp -r "$deploy" "$program"
rm -f "$program/Vestrano.ini"
if wrun "$host" --check --direction importar "$(winpath "$program/TransVestranosXadeCSV.exe")" \
        >"$scratch/host.txt" 2>&1; then
    grep -E '^(child|embedded)' "$scratch/host.txt" | sed 's/^/   /'
    if grep -q '^embedded: yes' "$scratch/host.txt" && grep -q ' at (2,2) ' "$scratch/host.txt"; then
        pass "embedded in the Win32 host at (2,2), without caption, ended with the host"
    else
        fail "the window was not embedded as expected:"
        cat "$scratch/host.txt" >&2
    fi
else
    fail "the Win32 host reports a failure:"
    cat "$scratch/host.txt" >&2
fi
if [ -f "$program/Vestrano.ini" ] && tr -d '\r' <"$program/Vestrano.ini" | grep -qx 'Transformado=0'; then
    pass "Vestrano.ini beside the program file says Transformado=0"
else
    fail "no Vestrano.ini with Transformado=0 beside the program file"
    cat "$program/Vestrano.ini" >&2 2>/dev/null || true
fi

# The same size in pixels at 150 % (144 DPI): the host lays the window out in pixels.
dpi_key='HKCU\Control Panel\Desktop'
# Programs started from now on read it (the registry lives in the running wineserver).
wrun reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wrun "$host" --check --direction importar "$(winpath "$program/TransVestranosXadeCSV.exe")" >"$scratch/dpi.txt" 2>&1 || true
wrun reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1 || true
grep '^child' "$scratch/dpi.txt" | sed 's/^/   /'
if grep -q '^embedded: yes' "$scratch/dpi.txt" && grep -q ' at (2,2) size 599x269 .* dpi=144' "$scratch/dpi.txt"; then
    pass "at 144 DPI: embedded at (2,2), 599x269 as at 96 DPI"
else
    fail "at 144 DPI the embedded window is not as at 96 DPI:"
    cat "$scratch/dpi.txt" >&2
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures Windows checks failed" >&2
    exit 1
fi
echo "all Windows checks passed"
