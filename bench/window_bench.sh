#!/usr/bin/env bash
# Times the window as felt, under Xvfb, on a large made-up school (bench/make_school.sh): from
# the start to the first painted screen, and from each click to the next screen painted (call
# screen; the reuse question (with the review of the XADE files, also given alone), then the level screen; the end of the import; the template dialog;
# the list of classes the export passed over; the end of the export). The batch converter's time for the same import and export is given
# beside them: that much is the core's own work.
# Usage: bash bench/window_bench.sh [BUILD_DIR] [COURSES]   (default build/release, 200 courses)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
courses=${2:-200}
if [ ! -x "$build/src/app/TransVestranosXadeCSV" ]; then bash scripts/build.sh release; build=build/release; fi
program=$(realpath "$build/src/app/TransVestranosXadeCSV")
transxade=$(realpath "$build/src/cli/transxade")
standin=$(realpath "$build/tools/standin/vestrano-standin")

source tests/app/xvfb_session.sh
start_xvfb 800x600x24
export XDG_RUNTIME_DIR=$work ASAN_OPTIONS=detect_leaks=0
caption="Exportar e importar datos entre Vestrano y XADE (Formato CSV)"
boxes=TransVestranosXADECSV
log=$work/paint.log

now_us() { echo $(($(date +%s%N) / 1000)); }
# Waits for the first paint after $1 (microseconds) whose "title|object" matches $2; prints ms.
painted_after() {
    local since=$1 what=$2 t=""
    for _ in $(seq 1200); do
        t=$(awk -v since="$since" -v what="$what" '$1 == "paint" && $2 >= since && index($0, what) {print $2; exit}' "$log")
        [ -n "$t" ] && break
        sleep 0.025
    done
    [ -n "$t" ] || fail "nothing painted as '$what'"
    awk -v a="$since" -v b="$t" 'BEGIN {printf "%.0f", (b - a) / 1000}'
}
click() { # window x y -> the time of the click
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.2
    local t
    t=$(now_us)
    xdotool click 1
    echo "$t"
}
key_to() { # title key -> the time of the key
    local b
    b=$(window_named "$1")
    xdotool windowfocus --sync "$b"
    local t
    t=$(now_us)
    xdotool key "$2"
    echo "$t"
}
row() { printf '%-74s %8s ms\n' "$1" "$2"; }
# Runs the measuring command after the caption and prints the row; a failure ends the benchmark.
measure() {
    local what=$1 ms
    shift
    ms=$("$@") || exit 1
    row "$what" "$ms"
}

mkdir -p "$work/VTEMP" "$work/bin" "$work/out"
bash bench/make_school.sh "$work/school" "$courses"
cp "$program" "$work/bin/"
export TRANSXADE_WORK=$work/VTEMP

echo "== the batch converter on the same school"
t=$(now_us)
"$transxade" import --csv "$work/school" --call 2026ORD --levels "$work/school/niveles.csv" >/dev/null 2>&1
row "import (codes kept in CURSOST2 for the window's run)" $((($(now_us) - t) / 1000))
"$standin" --work "$work/VTEMP" --seed 1 >/dev/null
t=$(now_us)
"$transxade" export --csv "$work/out" >/dev/null 2>&1
row "export" $((($(now_us) - t) / 1000))

echo "== the window"
start=$(now_us)
(cd "$work/school" && TRANSXADE_PAINT_LOG=1 exec "$work/bin/TransVestranosXadeCSV") 2>"$log" &
pid=$!
pids+=($pid)
measure "start to the first painted screen" painted_after "$start" "$caption|"
w=$(xdotool search --onlyvisible --name "Formato CSV" | head -n1)
# The places the window's description gives: BExportar, "Continuar", "Aceptar", BImportar.
measure "\"OK\" (XADE to Vestrano) to the call screen" painted_after "$(click "$w" 132 84)" "$caption|Panel1"
continuar=$(painted_after "$(click "$w" 157 227)" "Recuperaci") || exit 1
row "\"Continuar\" to the reuse question (the review of the files included)" "$continuar"
review_us=$(awk '$1 == "review" {print $2; exit}' "$log")
[ -n "$review_us" ] || fail "the window did not log its review"
review=$(awk -v us="$review_us" 'BEGIN {printf "%.0f", us / 1000}')
row "  of which the review of the XADE files (budget 50 ms)" "$review"
row "  \"Continuar\" without the review" "$((continuar - review))"
[ "$review" -le 50 ] || echo "the review takes more than its 50 ms" >&2
measure "reuse answered OK to the level screen ($courses courses)" painted_after "$(key_to "Recuperación de Niveles y Cursos importados anteriormente" Return)" "$caption|Panel2"
measure "\"Aceptar\" to the end of the import (stages included)" painted_after "$(click "$w" 538 251)" "$boxes|"
key_to "$boxes" Return >/dev/null
kill "$pid"
wait "$pid" 2>/dev/null || true

"$standin" --work "$work/VTEMP" --seed 1 >/dev/null
: >"$log"
(cd "$work/out" && TRANSXADE_PAINT_LOG=1 exec "$work/bin/TransVestranosXadeCSV") 2>"$log" &
pid=$!
pids+=($pid)
painted_after 0 "$caption|" >/dev/null
w=$(xdotool search --onlyvisible --name "Formato CSV" | head -n1)
measure "\"OK\" (Vestrano to XADE) to the template dialog" painted_after "$(click "$w" 429 84)" "Control de Plantilla Horaria|"
d=$(window_named "Control de Plantilla Horaria")
# The timetable program leaves some classes unplaced: their list comes before the final message.
measure "the dialog's \"Aceptar\" to the list of classes passed over (export included)" painted_after "$(click "$d" 529 277)" "Clases que no se han exportado|"
measure "the list's \"Aceptar\" to the final message" painted_after "$(key_to "Clases que no se han exportado" Return)" "$boxes|"
key_to "$boxes" Return >/dev/null
kill "$pid" 2>/dev/null || true
