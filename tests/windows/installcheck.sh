#!/usr/bin/env bash
# The installer and the installed window as a school's standard user meets them, in a fresh
# Wine prefix of an unprivileged user. Wine lets a program write wherever the Unix user may, so
# the owner of the install folder stands in for the rights Windows would give. The installer's
# exit status counts only with the files to show for it.
#   1. A folder whose name has a space and a non-ASCII letter: every deployed file, the uninstaller,
#      a start-menu entry and an empty Vestrano.ini; the installed transxade.exe converts the
#      example school; the installer's language, Spanish by default, is in idioma.txt, and the
#      installed transxade.exe speaks it; installed again with /IDIOMA=gl, both are Galician; the
#      uninstaller removes all but Vestrano.ini.
#   2. /D= into the timetable program's folder, with blanks and brackets, that holds its own
#      Vestrano.ini and Uninstall.exe: both stay byte for byte, and the users' right to change
#      Vestrano.ini was granted (icacls ran and succeeded, or the installer would exit with 2).
#   3. Without /D= and with no earlier install recorded, the installer finds that folder itself.
#   4. The folder handed to another owner, Vestrano.ini left writable as that right makes it: the
#      installed window embedded in the Win32 host writes Transformado there and ends.
#   5. Vestrano.ini not writable either: the box, "Cancelar", and the window ends.
#
# Usage: installcheck.sh WINDOWS_BUILD
# WINDOWS_BUILD holds the installer (TransVestranosXadeCSV-setup.exe), deploy.txt (the files it
# installs) and the Win32 host (tools/win32host). Runs as root, which it needs to become the
# unprivileged user and to hand folders to another owner.
set -euo pipefail
out=$(realpath "$1")
cd "$(dirname "$0")/../.."
triplet=x86_64-w64-mingw32
die() { echo "installcheck.sh: $*" >&2; exit 1; }
say() { echo "== $*" >&2; }
source tests/windows/wine_session.sh

installcheck_user=nobody
as_user() {
    # The language is the installer's to choose, not the caller's.
    setpriv --reuid="$installcheck_user" --regid="$(id -gn "$installcheck_user")" --clear-groups \
        env -u TRANSXADE_LANG HOME="$WINEPREFIX/../home" "$@"
}
# [options=...] install_silently [FOLDER]: the installer's exit status (cmd's start /wait hands it on).
install_silently() {
    local rc=0
    if [ $# -gt 0 ]; then
        # NSIS wants /D= last and unquoted even with spaces; through cmd, Wine passes it as it is.
        as_user "$wine64" cmd /c "start /wait C:\\setup.exe /S ${options:-} /D=$1" >/dev/null 2>&1 || rc=$?
    else
        as_user "$wine64" cmd /c "start /wait C:\\setup.exe /S ${options:-}" >/dev/null 2>&1 || rc=$?
    fi
    as_user /usr/lib/wine/wineserver -w
    return "$rc"
}

setup=$out/TransVestranosXadeCSV-setup.exe
[ -f "$setup" ] || die "no installer in $out"
[ "$(id -u)" -eq 0 ] || die "the install check runs the installer as another user: run it as root"
base=$out/installcheck
group=$(id -gn "$installcheck_user")
wine_env "$base/wine"
rm -rf "$base"
mkdir -p "$base/home" "$base/wine" "$base/host"
trap 'stop_xvfb; as_user /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$base"' EXIT
start_xvfb
# The Win32 host with the run-time DLLs it needs, where the user can read them.
cp "$out/tools/win32host/win32host.exe" "$out"/deploy/lib*.dll "$base/host/"
chown -R "$installcheck_user:$group" "$base"
t0=$(date +%s)
as_user "$wine64" wineboot -i >/dev/null 2>&1
say "fresh Wine prefix of $installcheck_user in $(($(date +%s) - t0)) s"
c=$WINEPREFIX/drive_c
cp "$setup" "$c/setup.exe"
# Wine's icacls does nothing and always succeeds: a recorder of our own takes its place.
"$triplet-gcc-posix" -municode -O2 -o "$c/windows/system32/icacls.exe" tests/windows/icacls_recorder.c ||
    die "could not build the icacls recorder"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;icacls.exe=n"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/TransVestranosXadeCSV.lnk"
uninstaller="Desinstalar TransVestranosXadeCSV.exe"

# 1.
folder='C:\Programas\Horário 2026' unix="$c/Programas/Horário 2026" missing=0
t0=$(date +%s)
install_silently "$folder" || die "the silent install into $folder ended with $?"
say "silent install in $(($(date +%s) - t0)) s"
while read -r f; do
    [ -f "$unix/$f" ] || { echo "not installed: $f" >&2; missing=1; }
done <"$out/deploy.txt"
[ -f "$unix/$uninstaller" ] || { echo "not installed: $uninstaller" >&2; missing=1; }
[ -f "$menu" ] || { echo "no start-menu entry" >&2; missing=1; }
[ -f "$unix/Vestrano.ini" ] && [ ! -s "$unix/Vestrano.ini" ] || { echo "no empty Vestrano.ini" >&2; missing=1; }
[ "$missing" -eq 0 ] || die "the silent install is incomplete"
school=$(realpath examples/school)
as_user mkdir -p "$c/VTEMP" # the work folder, which users may write
as_user "$wine64" "$folder\\transxade.exe" import --csv "Z:${school//\//\\}" --call 2026ORD \
    --levels "Z:${school//\//\\}\\niveles.csv" --work 'C:\VTEMP' >"$base/import.log" 2>&1 ||
    { cat "$base/import.log" >&2; die "the installed transxade.exe does not convert the example school"; }
for table in GRUPOST PROFT AULAT ASIGT ASIGNOMT2 CURSOST; do
    [ -s "$c/VTEMP/$table.DBF" ] || die "the installed transxade.exe wrote no $table.DBF"
done
say "the installed transxade.exe converts the example school"
# The language chosen at installation: the file beside the program, and the batch converter's help.
speaks() { # CODE WORD: idioma.txt holds CODE and the installed transxade.exe's help has WORD
    [ "$(tr -d '\r' <"$unix/idioma.txt")" = "$1" ] || die "idioma.txt holds '$(cat -A "$unix/idioma.txt")', not $1"
    local help
    help=$(as_user "$wine64" "$folder\\transxade.exe" --help 2>/dev/null)
    grep -q "^$2" <<<"$help" || die "the installed transxade.exe does not speak $1 (no '$2' in its help)"
}
speaks es "Subcommands:"
options=/IDIOMA=gl install_silently "$folder" || die "the install with /IDIOMA=gl ended with $?"
speaks gl "Ordes:"
say "the language chosen at installation, Spanish by default and Galician with /IDIOMA=gl, is what transxade.exe speaks"
as_user "$wine64" "$folder\\$uninstaller" /S >/dev/null 2>&1 || true
as_user /usr/lib/wine/wineserver -w
sleep 1 # the uninstaller's copy in the temporary folder finishes after the original ends
if [ "$(ls -A "$unix" 2>&1)" != Vestrano.ini ] || [ -e "$menu" ]; then
    find "$unix" >&2 2>/dev/null || true
    die "the silent uninstall removed too much or too little"
fi
say "the installer installs and uninstalls silently; Vestrano.ini stays"

# 2.
folder='C:\Program Files (x86)\Vestrano'
unix="$c/Program Files (x86)/Vestrano"
ini=$(printf '; Vestrano\r\n[General]\r\nRuta=C:\\VTEMP\r\n[Transformadores]\r\nTransformado=1\r\n[Otro]\r\nk=v\r\n')
theirs="the timetable program's own uninstaller"
as_user mkdir -p "$unix"
printf '%s' "$ini" >"$unix/Vestrano.ini"
printf '%s' "$theirs" >"$unix/Uninstall.exe"
chown "$installcheck_user:$group" "$unix/Vestrano.ini" "$unix/Uninstall.exe"
rm -f "$c/icacls.log"
install_silently "$folder" || die "the install into $folder ended with $? (2: the right to write Vestrano.ini was not granted)"
[ -f "$unix/TransVestranosXadeCSV.exe" ] || die "nothing installed into $folder"
[ "$(cat "$unix/Vestrano.ini")" = "$ini" ] || die "the installer changed Vestrano.ini: $(cat -A "$unix/Vestrano.ini")"
[ "$(cat "$unix/Uninstall.exe")" = "$theirs" ] || die "the installer overwrote the folder's Uninstall.exe"
grep -qF "\"$folder\\Vestrano.ini\" /grant *S-1-5-32-545:(M)" "$c/icacls.log" ||
    die "icacls was not run on Vestrano.ini for the Users group: $(cat "$c/icacls.log" 2>&1)"
[ "$(grep -c . "$c/icacls.log")" -eq 1 ] || die "icacls ran more than once: $(cat "$c/icacls.log")"
say "installed into $folder: its Vestrano.ini and Uninstall.exe kept, the users' right granted"
# When the right cannot be granted, the installer says so with its exit status.
touch "$c/icacls.fail"
rc=0
install_silently "$folder" || rc=$?
rm -f "$c/icacls.fail"
[ "$rc" -eq 2 ] || die "a failed icacls gave the exit status $rc, not 2"
say "a right that cannot be granted: exit status 2"

# 3.
as_user "$wine64" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TransVestranosXadeCSV' \
    /f /reg:64 >/dev/null 2>&1 || die "could not forget the earlier install"
rm -f "$unix/TransVestranosXadeCSV.exe"
install_silently || die "the install without /D= ended with $?"
[ -f "$unix/TransVestranosXadeCSV.exe" ] && [ ! -e "$c/Program Files/TransVestranosXadeCSV" ] ||
    die "without /D= the installer did not choose the timetable program's folder"
say "without /D= the installer proposes the timetable program's folder"

# 4.
chown -R root:root "$unix"
chmod -R go-w "$unix"
chmod 666 "$unix/Vestrano.ini"
host="$base/host/win32host.exe" program="$folder\\TransVestranosXadeCSV.exe"
as_user "$wine64" "$host" --check --direction importar "$program" >"$base/host.txt" 2>&1 ||
    { cat "$base/host.txt" >&2; die "the installed window did not end as a standard user's"; }
tr -d '\r' <"$base/host.txt" | grep -qx 'Transformado=0' || { cat "$base/host.txt" >&2; die "the host read no Transformado=0"; }
[ "$(cat "$unix/Vestrano.ini")" = "${ini/Transformado=1/Transformado=0}" ] ||
    die "Vestrano.ini after a standard user's run: $(cat -A "$unix/Vestrano.ini")"
say "a standard user's embedded run writes Transformado into Vestrano.ini, the rest kept"

# 5.
printf '%s' "$ini" >"$unix/Vestrano.ini"
chmod 644 "$unix/Vestrano.ini"
as_user "$wine64" "$host" --check --direction importar "$program" >"$base/host.txt" 2>&1 &
host_pid=$! box=""
for _ in $(seq 300); do
    box=$(xdotool search --onlyvisible --name '^TransVestranosXADECSV$' 2>/dev/null | head -n 1 || true)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || { kill "$host_pid"; die "no box when Vestrano.ini cannot be written"; }
xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
xdotool key Escape
wait "$host_pid" || { cat "$base/host.txt" >&2; die "the window did not end after Cancelar"; }
[ "$(cat "$unix/Vestrano.ini")" = "$ini" ] || die "Vestrano.ini changed: $(cat -A "$unix/Vestrano.ini")"
say "Vestrano.ini not writable: the box, Cancelar, and the window ends"

stop_xvfb
as_user /usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$base"
trap - EXIT
