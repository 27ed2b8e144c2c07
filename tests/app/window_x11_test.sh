#!/usr/bin/env bash
# The standalone window driven with mouse and keyboard under an X server of its own (Xvfb), as
# a school's administrator uses it.
# Usage: window_x11_test.sh CONVERTER TRANSXADE SCHOOL
# Checks: what is typed straight after "Continuar" lands in the first course's TURNO; Ctrl+Delete
# deletes the course the grid marks, after Tab wrapped onto the next row and after a click on
# another row's code; a stage that ends with an error shows the error box and "Aceptar" again
# runs the stages again (error box again, no crash), without and with the codes kept from an
# earlier import; once the file is put right, "Aceptar" once more finishes the import.
set -euo pipefail

converter=$1
transxade=$2
school=$3
for tool in Xvfb xdotool xwininfo xdpyinfo import convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

source "$(dirname "$0")/xvfb_session.sh"
start_xvfb 800x600x24
export XDG_RUNTIME_DIR=$work

caption="Exportar e importar datos entre Vestrano y XADE \\(Formato CSV\\)"
boxes=TransVestranosXADECSV

# The places the window's description gives (left, top, width, height, in the window), once.
declare -A place=(
    [BExportar]="88 72 89 25"          # on Draw3D2 at 0, 0
    [BitBtn1]="117 216 81 23"          # 106, 83 on Panel1 at 11, 34 on Draw3D1 at 0, 99
    [BitBtn2]="494 239 89 25"          # 488, 238 on Panel2 at 6, 1
    [wwDBGridNIVIMP]="12 66 430 166"   # 6, 65 on Panel2 at 6, 1
)
centre() { # control -> "x y"
    set -- ${place[$1]}
    echo "$(($1 + $3 / 2)) $(($2 + $4 / 2))"
}
click_at() { # x y
    xdotool mousemove --window "$w" "$1" "$2"
    sleep 0.1
    xdotool click 1
    sleep 0.3
}
press() { # control
    click_at $(centre "$1")
}
alive() {
    kill -0 "$pid" 2>/dev/null || fail "$1: the window died: $(tail -n 20 "$work/window.log")"
}
# Answers the box that must come now (title $1) with a key, and gives its text.
answer_box() { # title key
    local b
    b=$(window_named "$1") || fail "no box '$1' came: $(tail -n 20 "$work/window.log")"
    xdotool windowfocus --sync "$b" key "$2"
    for _ in $(seq 100); do xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0; sleep 0.05; done
    fail "the box '$1' did not close on $2"
}
no_box() {
    sleep 0.3
    ! xdotool search --onlyvisible --name "^$boxes\$" >/dev/null 2>&1 || fail "$1: a box is showing"
}
courses() { # the CODCURSO,TURNO,NIVEL,CURSO of every course in CURSOST, one a line
    "$transxade" dump "$work/VTEMP/CURSOST.DBF" | tr -d '\r' | awk -F, 'NR > 1 {print $6 "," $2 "," $3 "," $4}'
}
has_course() {
    courses | grep -q "^$1,"
}
start_window() { # folder
    (cd "$1" && TRANSXADE_WORK=$work/VTEMP exec "$work/bin/TransVestranosXadeCSV") >"$work/window.log" 2>&1 &
    pid=$!
    pids+=($pid)
    w=$(window_named "$caption") || fail "the window did not start: $(cat "$work/window.log")"
    xdotool windowfocus --sync "$w"
}
stop_window() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
# The middle of each row of the level grid, read from the screen: every other row is silver.
row_centres() {
    set -- ${place[wwDBGridNIVIMP]}
    import -window "$w" "$work/shot.png"
    convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage txt:- |
        awk -v top="$2" -F'[,: ]+' '/#C0C0C0/ {n[$2]++} END {
            for (y = 0; y < 400; y++) if (n[y] > 20 && !(n[y - 1] > 20)) starts[++k] = y
            if (k < 2) exit 1
            pitch = (starts[2] - starts[1]) / 2
            for (r = 0; r < 4; r++) printf "%d\n", top + starts[1] + (r - 1) * pitch + pitch / 2
        }'
}

mkdir -p "$work/VTEMP" "$work/bin"
cp "$converter" "$work/bin/TransVestranosXadeCSV"
cp -r "$school" "$work/school"
# Without the two room codes that do not fit their field, the review of "Continuar" finds nothing
# and the flow is the one without it.
sed -i 's/^LABORATORIO\([12]\),/LAB\1,/' "$work/school/aulasCentro.csv"
[ -z "$("$transxade" check --csv "$work/school" --call 2026ORD --format csv | tail -n +2)" ] ||
    fail "the school is not clean: $("$transxade" check --csv "$work/school" --call 2026ORD)"

echo "== typing straight after \"Continuar\"; Ctrl+Delete after Tab wraps and after a click on another row"
start_window "$work/school"
press BExportar
no_box "call screen"
press BitBtn1
xdotool type --delay 30 "M"
xdotool key Tab
sleep 0.3
mapfile -t rows < <(row_centres) || fail "no rows of alternating colour in the level grid"
[ "${#rows[@]}" -eq 4 ] || fail "expected four rows, found ${rows[*]}"
xdotool key Tab Tab # NIVEL, CURSO, then wrapping to the second course's TURNO
sleep 0.2
xdotool key ctrl+Delete
answer_box Confirm Return
sleep 0.3
has_course 10001 || fail "Tab wrap: the first course was deleted: $(courses)"
! has_course 10002 || fail "Tab wrap: the second course is still there: $(courses)"
courses | grep -q '^10001,M,' || fail "the M typed after Continuar is not the first TURNO: $(courses)"
# The mark on the last course, then a click on the first course's code.
xdotool key Down Down
sleep 0.2
set -- ${place[wwDBGridNIVIMP]}
click_at $(($1 + 8)) "${rows[0]}"
xdotool key ctrl+Delete
answer_box Confirm Return
sleep 0.3
! has_course 10001 || fail "click: the clicked course is still there: $(courses)"
has_course 10004 || fail "click: the last course was deleted instead: $(courses)"
alive "Ctrl+Delete"
stop_window

# The codes of the example school's four courses, typed row after row (Tab moves on).
type_codes() {
    for codes in "M ESO 1" "M ESO 2" "M BAC 1" "T ES O1"; do
        for code in $codes; do
            xdotool type --delay 20 "$code"
            xdotool key Tab
        done
    done
}
stages_end_in_error() { # what
    press BitBtn2
    answer_box "$boxes" Return
    alive "$1, first error"
    press BitBtn2
    answer_box "$boxes" Return
    alive "$1, second Aceptar"
    # The teachers' stage ended both runs: the assignments after it were never written.
    [ ! -e "$work/VTEMP/ASIGT.DBF" ] || fail "$1: the stages did not end with the error"
}

echo "== an error in a stage, then \"Aceptar\" again, without codes kept from before"
rm -rf "$work/VTEMP"/* "$work/bad"
cp -r "$work/school" "$work/bad"
spoil_teachers() { # a line the teachers' stage ends on, put there after the review of "Continuar"
    printf 'E0099,G1001\r\n' >>"$work/bad/profesoresGrupoCentro.csv"
}
start_window "$work/bad"
press BExportar
press BitBtn1
spoil_teachers
type_codes
stages_end_in_error "no reuse"
[ "$(courses | grep -c -E '^[0-9]+,[MT],(ESO|BAC|ES),')" -eq 4 ] || fail "the codes typed were not all kept: $(courses)"
stop_window

echo "== the same with the codes kept from that import (reuse answered OK), then the file put right"
start_window "$work/bad"
press BExportar
answer_box "$boxes" Return # the import that the error ended did not finish: the user is told
cp "$school/profesoresGrupoCentro.csv" "$work/bad/profesoresGrupoCentro.csv"
press BitBtn1
answer_box "Recuperación de Niveles y Cursos importados anteriormente" Return
spoil_teachers
stages_end_in_error "reuse"
cp "$school/profesoresGrupoCentro.csv" "$work/bad/profesoresGrupoCentro.csv"
press BitBtn2
answer_box "$boxes" Return # "Proceso finalizado"
alive "after the import"
[ -s "$work/VTEMP/ASIGT.DBF" ] || fail "the import after the error did not write ASIGT"
stop_window
echo "PASS"
