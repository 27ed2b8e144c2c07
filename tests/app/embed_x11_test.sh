#!/usr/bin/env bash
# The converter embedded in a real host window, under an X server of its own (Xvfb).
# Usage: embed_x11_test.sh CONVERTER HOST
# Checks: the window is a child of the host at (2, 2), 599x269, without border or frame; keys
# reach it after a click; closing writes "Transformado" into Vestrano.ini beside the program,
# keeping the other sections; a host that goes away closes it with the status written; a handle
# that names no window, an invalid number and one or three parameters run standalone and write
# nothing. High-DPI scaling (192 dpi) changes neither the size nor the place.
set -euo pipefail

converter=$1
host=$2
for tool in Xvfb xdotool xwininfo xprop xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

source "$(dirname "$0")/xvfb_session.sh"
start_xvfb 1024x768x24

# The program file's folder holds Vestrano.ini.
mkdir -p "$work/bin"
cp "$converter" "$work/bin/TransVestranosXadeCSV"
program=$work/bin/TransVestranosXadeCSV
ini=$work/bin/Vestrano.ini


echo "== embedded in the host, closed with Alt+S after a click"
printf '[General]\r\nRuta=C:\\V\r\n[Transformadores]\r\nTransformado=1\r\n[Otro]\r\nk=v\r\n' >"$ini"
"$host" --program "$program" --direction importar >"$work/host.out" 2>"$work/host.err" &
host_pid=$!
pids+=($host_pid)
until_ok grep -q "converter pid" "$work/host.out" || fail "the host did not start the converter: $(cat "$work/host.err")"
host_win=$(awk '/host window/ {print $3}' "$work/host.out")
until_ok has_child "$host_win" || fail "no 599x269 child in the host window"
ours=$(child_of "$host_win")
info=$(xwininfo -id "$ours")
echo "$info" | grep -q "Relative upper-left X:  2" || fail "not at x 2: $info"
echo "$info" | grep -q "Relative upper-left Y:  2" || fail "not at y 2: $info"
echo "$info" | grep -q "Border width: 0" || fail "has a border: $info"
parent=$(xwininfo -tree -id "$ours" | awk '/Parent window id:/ {print $4}')
[ "$((parent))" -eq "$((host_win))" ] || fail "parent is $parent, not the host $host_win"
if xprop -id "$ours" _NET_FRAME_EXTENTS WM_STATE | grep -q " = "; then fail "our window has a frame"; fi
xdotool mousemove --window "$ours" 300 200 click 1
sleep 0.3
# "F1 AYUDA" (12, 146, 77, 21 on the band at 0, 99): no help file here, so a box says so; a box
# over an embedded window raises no complaint about its owner.
xdotool mousemove --window "$ours" 50 256 click 1
box=$(window_named TransVestranosXADECSV) || fail "no box from F1 AYUDA"
xdotool windowfocus --sync "$box" key Return
sleep 0.3
! grep -q "must be a top level window" "$work/host.err" || fail "the box complained: $(cat "$work/host.err")"
xdotool mousemove --window "$ours" 300 200 click 1
sleep 0.3
xdotool mousemove 1000 700 # keys must follow the focus, not the pointer
xdotool key alt+s
until_ok grep -q "^Transformado=" "$work/host.out" || fail "the window did not close on Alt+S"
grep -qx "Transformado=0" "$work/host.out" || fail "host read $(grep Transformado "$work/host.out")"
expected=$(printf '[General]\r\nRuta=C:\\V\r\n[Transformadores]\r\nTransformado=0\r\n[Otro]\r\nk=v\r\n')
[ "$(cat "$ini")" = "$expected" ] || fail "Vestrano.ini is now: $(cat -A "$ini")"
wait "$host_pid" || fail "the host ended with $?"

echo "== the host window goes away (on a screen of 192 dpi)"
rm -f "$ini"
QT_FONT_DPI=192 "$host" --program "$program" --direction exportar >"$work/host2.out" 2>/dev/null &
host_pid=$!
pids+=($host_pid)
until_ok grep -q "converter pid" "$work/host2.out" || fail "the host did not start the converter"
host_win=$(awk '/host window/ {print $3}' "$work/host2.out")
conv_pid=$(awk '/converter pid/ {print $3}' "$work/host2.out")
until_ok has_child "$host_win" || fail "no 599x269 child in the host on a 192 dpi screen"
ours=$(child_of "$host_win")
xwininfo -id "$ours" | grep -q "Relative upper-left X:  2" || fail "scaled place on 192 dpi: $(xwininfo -id "$ours")"
kill -KILL "$host_pid" # its windows go with it, the converter stays
until_ok bash -c "! kill -0 $conv_pid" || fail "the converter outlived its host's window"
[ "$(cat "$ini")" = "$(printf '[Transformadores]\r\nTransformado=0\r\n')" ] || fail "status not written: $(cat -A "$ini" 2>&1)"

# Standalone starts: the window appears as a top-level window, and closing writes nothing.
standalone() {
    local what=$1 box=$2
    shift 2
    echo "== $what"
    rm -f "$ini"
    "$program" "$@" >"$work/standalone.log" 2>&1 &
    local pid=$!
    pids+=($pid)
    if [ "$box" = box ]; then
        local b
        b=$(window_named TransVestranosXADECSV) || fail "$what: no error box: $(cat "$work/standalone.log")"
        xdotool windowfocus --sync "$b" key Return
    fi
    local w
    w=$(window_named "Exportar e importar datos entre Vestrano y XADE \\(Formato CSV\\)") || fail "$what: no window: $(cat "$work/standalone.log")"
    local parent
    parent=$(xwininfo -tree -id "$w" | awk '/Parent window id:/ {print $4}')
    local root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    [ "$((parent))" -eq "$((root))" ] || fail "$what: window is not top-level"
    xdotool windowfocus --sync "$w" key alt+s
    until_ok bash -c "! kill -0 $pid" || fail "$what: did not close"
    [ ! -e "$ini" ] || fail "$what: wrote $ini"
}
standalone "a handle that names no window" box importar 7FFFFF01
standalone "not a hexadecimal number" box importar 0x1A2B
standalone "one parameter" none importar
standalone "three parameters" none importar 1A2B otro
echo "PASS"
