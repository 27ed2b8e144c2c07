#!/usr/bin/env bash
# Takes a PNG screenshot of each screen of the window under Xvfb, into docs/screens/.
# Usage: bash docs/screenshots.sh [BUILD_DIR]   (default build/release, built when missing)
# The window is driven as a person would, with clicks and keys (xdotool), on a copy of the
# example school. Xvfb has no window manager, so the pictures show the client area only.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${1:-build/release}
if [ ! -x "$build/src/app/TransVestranosXadeCSV" ] || [ ! -x "$build/src/cli/transxade" ]; then bash scripts/build.sh release; build=build/release; fi
program=$(realpath "$build/src/app/TransVestranosXadeCSV")
host=$(realpath "$build/tools/vestrano-host")
standin=$(realpath "$build/tools/standin/vestrano-standin")
transxade=$(realpath "$build/src/cli/transxade")
out=$(realpath docs/screens)

source tests/app/xvfb_session.sh
start_xvfb 800x600x24
export XDG_RUNTIME_DIR=$work

mkdir -p "$work/VTEMP" "$work/bin"
cp -r examples/school "$work/school"
cp "$program" "$work/bin/"
export TRANSXADE_WORK=$work/VTEMP
export TRANSXADE_LANG=es # the pictures of the help and the README are the Spanish window
caption="Exportar e importar datos entre Vestrano y XADE \\(Formato CSV\\)"

# run_window FOLDER [WORK]: the window started in FOLDER (with WORK as its work folder); its pid in $window_pid.
run_window() {
    (cd "$1" && TRANSXADE_WORK=${2:-$TRANSXADE_WORK} exec "$work/bin/TransVestranosXadeCSV") &
    window_pid=$!
    pids+=($window_pid)
}
end_window() {
    kill "$window_pid" 2>/dev/null || true
    wait "$window_pid" 2>/dev/null || true
}
shot() { # window, name
    sleep 0.4
    import -window "$1" "$out/$2.png"
    echo "docs/screens/$2.png"
}
click() { # window, x, y
    sleep 0.3
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.1
    xdotool click 1
}

# The start screen, with the example school's folder open.
(cd "$work/school" && exec "$work/bin/TransVestranosXadeCSV") &
first=$!
pids+=($first)
w=$(window_named "$caption")
shot "$w" start

# The call screen: "OK" of the XADE-to-Vestrano band.
click "$w" 132 84
shot "$w" call-screen
# "Continuar": the example school has two room codes too long for their field, so the review of
# the XADE files lists them first; its "Continuar" goes on. A reuse question may come next on a
# second run; none here.
click "$w" 157 227
r=$(window_named "Revisión de los ficheros de XADE")
shot "$r" review-losses
xdotool mousemove --window "$r" 10 10 key Return
sleep 0.3
shot "$w" level-screen
# "Aceptar" with the codes still empty: the warning.
click "$w" 538 251
shot "$w" level-warning
# "Volver a los Datos", then the codes typed into the grid, and "Aceptar".
click "$w" 419 251
row=92
for codes in "M ESO 1" "M ESO 2" "M BAC 1" "T ES O1"; do
    set -- $codes
    x=293
    for code in "$@"; do
        click "$w" "$x" "$row"
        sleep 0.6 # a click on the current cell opens its editor after the double-click time
        xdotool type --delay 20 "$code"
        xdotool key Return
        x=$((x + 44))
    done
    row=$((row + 16))
done
shot "$w" level-typed
click "$w" 538 251
b=$(window_named TransVestranosXADECSV)
shot "$b" finished-message
xdotool mousemove --window "$b" 10 10 key Return
sleep 0.3
shot "$w" import-finished
kill "$first"
wait "$first" 2>/dev/null || true

# The timetable program plans a timetable; then the way back to XADE.
"$standin" --work "$work/VTEMP" >/dev/null
(cd "$work/school" && exec "$work/bin/TransVestranosXadeCSV") &
second=$!
pids+=($second)
sleep 1
w=$(window_named "$caption")
click "$w" 429 84
d=$(window_named "Control de Plantilla Horaria")
shot "$d" template-dialog
click "$d" 529 277
b=$(window_named TransVestranosXADECSV)
xdotool mousemove --window "$b" 10 10 key Return
sleep 0.3
shot "$w" export-finished
xdotool mousemove --window "$w" 300 200 key alt+s 2>/dev/null || true
kill "$second" 2>/dev/null || true
wait "$second" 2>/dev/null || true

# A timetable of two days of four periods leaves classes unplaced: the export lists them before
# its final message. export_list SUFFIX TEMPLATE_CAPTION LIST_CAPTION
mkdir -p "$work/VTEMP-list" "$work/list"
cp -r examples/school/. "$work/list"
export_list() {
    rm -rf "$work/VTEMP-list"/*
    TRANSXADE_WORK=$work/VTEMP-list "$transxade" import --csv "$work/list" --call 2026ORD \
        --levels "$work/list/niveles.csv" >/dev/null 2>&1
    "$standin" --work "$work/VTEMP-list" --days 2 --periods 4 >/dev/null
    run_window "$work/list" "$work/VTEMP-list"
    w=$(window_named "$caption")
    click "$w" 429 84
    d=$(window_named "$2")
    click "$d" 529 277
    l=$(window_named "$3")
    shot "$l" "export-list$1"
    xdotool mousemove --window "$l" 10 10 key Return
    b=$(window_named TransVestranosXADECSV)
    xdotool mousemove --window "$b" 10 10 key Return
    end_window
}
export_list "" "Control de Plantilla Horaria" "Clases que no se han exportado"

# The review of a school with two lines that would end the import: "Volver" only.
# review SUFFIX REVIEW_CAPTION
cp -r examples/school "$work/bad"
printf 'E0099,G1001\r\n' >>"$work/bad/profesoresGrupoCentro.csv"
printf 'SALON,Sal\xF3n\r\n\xEF\xBB\xBFPATIO,Patio\r\n' >>"$work/bad/aulasCentro.csv"
mkdir -p "$work/VTEMP-bad"
review() {
    run_window "$work/bad" "$work/VTEMP-bad"
    w=$(window_named "$caption")
    click "$w" 132 84
    click "$w" 157 227
    r=$(window_named "$2")
    shot "$r" "review$1"
    xdotool mousemove --window "$r" 10 10 key Return
    end_window
}
review "" "Revisión de los ficheros de XADE"

# A real secondary school (examples/instituto) on the level screen. Its codes were saved by an
# earlier import (the batch converter with the school's answers file), into a work folder of the
# language's own, so "Continuar" asks whether to take them up again; "OK" fills the grid.
# institute SUFFIX QUESTION_CAPTION
cp -r examples/instituto "$work/instituto"
institute() {
    mkdir -p "$work/VTEMP-instituto$1"
    TRANSXADE_WORK=$work/VTEMP-instituto$1 "$transxade" import --csv "$work/instituto" --call 2026ORD \
        --levels "$work/instituto/niveles.csv" >/dev/null 2>&1
    run_window "$work/instituto" "$work/VTEMP-instituto$1"
    w=$(window_named "$caption")
    click "$w" 132 84
    click "$w" 157 227
    q=$(window_named "$2")
    shot "$q" "reuse-question$1"
    xdotool mousemove --window "$q" 10 10 key Return
    sleep 0.3
    shot "$w" "level-instituto$1"
    end_window
}
institute "" "Recuperaci.*n de Niveles y Cursos importados anteriormente"

# Embedded in a host window, started with "importar".
"$host" --program "$work/bin/TransVestranosXadeCSV" --direction importar >/dev/null &
pids+=($!)
h=$(window_named "Vestrano host")
sleep 0.5
shot "$h" embedded-importar
xdotool mousemove --window "$h" 300 200 click 1 key alt+s 2>/dev/null || true
sleep 0.5

# The pictures of the Galician help and the README, with the window in Galician: the main
# screen, the template dialog (an export first: an import left on the call screen would be
# reported unfinished), the call screen, the list of classes passed over, the review, and the
# secondary school's level screen with the question before it, from a work folder of its own.
export TRANSXADE_LANG=gl
export_list -gl "Control do modelo horario" "Clases que non se exportaron"
review -gl "Revisión dos ficheiros de XADE"
run_window "$work/school"
w=$(window_named "$caption")
shot "$w" start-gl
click "$w" 429 84
d=$(window_named "Control do modelo horario")
shot "$d" template-dialog-gl
click "$d" 529 277
b=$(window_named TransVestranosXADECSV)
xdotool mousemove --window "$b" 10 10 key Return
end_window
run_window "$work/school"
w=$(window_named "$caption")
click "$w" 132 84
shot "$w" call-screen-gl
end_window
institute -gl "Recuperaci.*n dos niveis e cursos importados antes"
