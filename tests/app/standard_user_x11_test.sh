#!/usr/bin/env bash
# The embedded window as a school runs it: a standard user, and the program in a folder that
# another user owns, as a folder of programs is.
# Usage: standard_user_x11_test.sh CONVERTER HOST
# Checks, with the window and the host run as the unprivileged user "nobody":
#   1. Vestrano.ini writable by the user: "Salir" writes the status into it in place, keeping
#      every other section, and the window ends;
#   2. Vestrano.ini not writable: "Salir" shows the box that names the file, "Reintentar" shows
#      it again, "Cancelar" ends the window, and the file is as it was.
# Needs root, to become another user (setpriv).
set -euo pipefail

converter=$1
host=$2
for tool in Xvfb xdotool setpriv; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ "$(id -u)" -eq 0 ] || { echo "SKIP: only root can run the window as another user"; exit 77; }
user=nobody
group=$(id -gn "$user")

source "$(dirname "$0")/xvfb_session.sh"
start_xvfb 1024x768x24

# The program's folder belongs to root and only root may write in it; the user has a home.
chmod 755 "$work"
mkdir -p "$work/bin" "$work/home"
chown "$user:$group" "$work/home"
cp "$converter" "$work/bin/TransVestranosXadeCSV"
cp "$host" "$work/bin/vestrano-host"
chmod 755 "$work/bin"
ini=$work/bin/Vestrano.ini
as_user() {
    setpriv --reuid="$user" --regid="$group" --clear-groups \
        env HOME="$work/home" XDG_RUNTIME_DIR="$work/home" "$@"
}
# Starts the host as the user; sets host_pid and ours (the converter's window).
start_host() {
    as_user "$work/bin/vestrano-host" --program "$work/bin/TransVestranosXadeCSV" --direction importar \
        >"$work/host.out" 2>"$work/host.err" &
    host_pid=$!
    pids+=($host_pid)
    until_ok grep -q "converter pid" "$work/host.out" || fail "the host did not start the converter: $(cat "$work/host.err")"
    local host_win
    host_win=$(awk '/host window/ {print $3}' "$work/host.out")
    until_ok has_child "$host_win" || fail "no converter window in the host"
    ours=$(child_of "$host_win")
    [ "$(ps -o user= -p "$(awk '/converter pid/ {print $3}' "$work/host.out")")" = "$user" ] ||
        fail "the converter does not run as $user"
}
salir() {
    xdotool mousemove --window "$ours" 300 200 click 1
    sleep 0.3
    xdotool key alt+s
}

before=$(printf '; Vestrano\r\n[General]\r\nRuta=C:\\V\r\n[Transformadores]\r\nTransformado=1\r\n[Otro]\r\nk=v\r\n')
printf '%s' "$before" >"$ini"

echo "== Vestrano.ini writable by the user, in a folder the user cannot write"
chmod 666 "$ini"
! as_user touch "$work/bin/probe" 2>/dev/null || fail "the user can write the program's folder"
start_host
salir
until_ok grep -q "^Transformado=" "$work/host.out" || fail "the window did not end on Salir"
wait "$host_pid" || fail "the host ended with $?"
grep -qx "Transformado=0" "$work/host.out" || fail "the host read $(grep Transformado "$work/host.out")"
[ "$(cat "$ini")" = "${before/Transformado=1/Transformado=0}" ] || fail "Vestrano.ini is now: $(cat -A "$ini")"
[ "$(stat -c %U "$ini")" = root ] || fail "Vestrano.ini changed hands: $(stat -c %U "$ini")"
[ "$(ls "$work/bin")" = "$(printf 'TransVestranosXadeCSV\nVestrano.ini\nvestrano-host')" ] ||
    fail "files left in the program's folder: $(ls "$work/bin")"
echo "ok: the status written in place, the other sections kept, the window ended"

echo "== Vestrano.ini not writable: the box, Reintentar, then Cancelar"
printf '%s' "$before" >"$ini"
chmod 644 "$ini"
start_host
salir
box=$(window_named TransVestranosXADECSV) || fail "no box when the status cannot be written"
xdotool windowfocus --sync "$box" key Return # Reintentar: the file is still not writable
sleep 0.5
box=$(window_named TransVestranosXADECSV) || fail "no box again after Reintentar"
xdotool windowfocus --sync "$box" key Escape # Cancelar
until_ok grep -q "^Transformado=" "$work/host.out" || fail "Cancelar did not end the window"
wait "$host_pid" || fail "the host ended with $?"
[ "$(cat "$ini")" = "$before" ] || fail "Vestrano.ini changed: $(cat -A "$ini")"
echo "ok: the box named the file, Reintentar asked again, Cancelar ended the window"
echo "PASS"
