#!/usr/bin/env bash
# The review of "Continuar" in the real window under an X server of its own (Xvfb), driven with
# mouse and keyboard: a school with two lines that would end the import and three losses (two
# room codes cut, a byte-order mark inside a file). The list is offered with "Volver" only;
# "Guardar lista…" saves exactly what `transxade check --format csv` writes, its five rows in
# order; "Volver" leaves the call screen and writes nothing. With "gl" and the Galician help the
# same in Galician, and F1 on the list opens the Galician help.
# Usage: review_x11_test.sh CONVERTER TRANSXADE SCHOOL [gl HELP_GL]
set -euo pipefail

converter=$1
transxade=$2
school=$3
language=${4:-es}
for tool in Xvfb xdotool xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

source "$(dirname "$0")/xvfb_session.sh"
start_xvfb 1024x768x24
export XDG_RUNTIME_DIR=$work

# The main window's caption is the same in both languages: the host looks for it.
caption="Exportar e importar datos entre Vestrano y XADE \\(Formato CSV\\)"
review="Revisión de los ficheros de XADE"
save="Guardar lista"
mkdir -p "$work/VTEMP" "$work/bin"
if [ "$language" = gl ]; then
    review="Revisión dos ficheiros de XADE"
    save="Gardar lista"
    cp "$5" "$work/bin/XADE-gl.chm"
fi
export TRANSXADE_LANG=$language
cp "$converter" "$work/bin/TransVestranosXadeCSV"
cp -r "$school" "$work/school"
printf 'E0099,G1001\r\n' >>"$work/school/profesoresGrupoCentro.csv"
printf 'SALON,Sal\xF3n\r\n\xEF\xBB\xBFPATIO,Patio\r\n' >>"$work/school/aulasCentro.csv"

"$transxade" check --csv "$work/school" --call 2026ORD --format csv >"$work/expected.csv" && status=0 || status=$?
[ "$status" -eq 2 ] || fail "check gave $status, not 2 (a line ends the run)"
# Five rows after the header: the two lines that end the run first, then the three losses.
got=$(tail -n +2 "$work/expected.csv" | cut -d, -f1-3 | tr -d '\r' | paste -sd' ')
want="profesoresGrupoCentro.csv,9,detiene aulasCentro.csv,9,detiene aulasCentro.csv,5,recorta aulasCentro.csv,6,recorta aulasCentro.csv,10,pierde"
[ "$got" = "$want" ] || fail "check lists: $got"

(cd "$work/school" && TRANSXADE_WORK=$work/VTEMP exec "$work/bin/TransVestranosXadeCSV") >"$work/window.log" 2>&1 &
pid=$!
pids+=($pid)
w=$(window_named "$caption") || fail "the window did not start: $(cat "$work/window.log")"
xdotool windowfocus --sync "$w"
click_at() { # x y in the main window
    xdotool mousemove --window "$w" "$1" "$2"
    sleep 0.1
    xdotool click 1
    sleep 0.3
}
alive() {
    kill -0 "$pid" 2>/dev/null || fail "$1: the window died: $(tail -n 20 "$work/window.log")"
}
click_at 132 84 # "OK" of "Transformar datos desde XADE hacia Vestrano"
alive "call screen"
before=$(ls -l --time-style=full-iso "$work/VTEMP")
click_at 157 227 # "Continuar"
r=$(window_named "$review") || fail "no review came: $(tail -n 20 "$work/window.log")"
xdotool windowfocus --sync "$r"

if [ "$language" = gl ]; then
    xdotool key F1
    h=$(window_named "Axuda de TransVestranosXadeCSV") || fail "F1 did not open the Galician help"
    xdotool windowmove "$h" 600 500 # off the main window's buttons: no window manager places it
    xdotool windowfocus --sync "$r"
fi

# "Guardar lista…" (Alt+G), the file named in the file dialog.
xdotool key alt+g
d=$(window_named "$save") || fail "no file dialog came"
xdotool windowfocus --sync "$d"
sleep 0.3
xdotool type --delay 10 "$work/lista.csv"
xdotool key Return
until_ok test -s "$work/lista.csv" || fail "the list was not saved"
sleep 0.3
cmp "$work/lista.csv" "$work/expected.csv" || fail "the saved list is not what check --format csv writes"

# No "Continuar": Alt+C does nothing; Return presses "Volver".
xdotool windowfocus --sync "$r" key alt+c
sleep 0.3
xdotool search --onlyvisible --name "^$review\$" >/dev/null || fail "the review closed on Alt+C"
xdotool windowfocus --sync "$r" key Return
for _ in $(seq 100); do xdotool search --onlyvisible --name "^$review\$" >/dev/null 2>&1 || break; sleep 0.05; done
! xdotool search --onlyvisible --name "^$review\$" >/dev/null 2>&1 || fail "\"Volver\" did not close the review"
alive "after Volver"
[ "$(ls -l --time-style=full-iso "$work/VTEMP")" = "$before" ] || fail "something was written: $(ls -l "$work/VTEMP")"
[ ! -e "$work/VTEMP/CURSOST.DBF" ] || fail "CURSOST was written"
# Still on the call screen: "Continuar" again reviews again.
click_at 157 227
window_named "$review" >/dev/null || fail "the second \"Continuar\" did not review"
echo "PASS"
