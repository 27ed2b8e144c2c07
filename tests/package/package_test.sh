#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built (scripts/test.sh builds it before the
# tests run): its file list, its dependencies, lintian, the desktop entry and the manual pages;
# then unpacks it into a scratch root and runs the example school through the installed
# transxade and stand-in. It builds nothing: without a package, or with one older than the
# sources, it says so and is skipped (status 77).
# Usage: package_test.sh SOURCE_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
cd "$src"
shopt -s nullglob
debs=(build/package/transxade_*_amd64.deb)
shopt -u nullglob
if [ ${#debs[@]} -eq 0 ]; then
    echo "no package in build/package: run scripts/package.sh first" >&2
    exit 77
fi
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
newer=$(find src tools packaging cmake docs CMakeLists.txt -newer "$deb" -type f -print -quit 2>/dev/null || true)
if [ -n "$newer" ]; then
    echo "$deb is older than $newer: run scripts/package.sh again" >&2
    exit 77
fi
echo "package: $deb ($(stat -c %s "$deb") bytes)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The files, without sizes and dates, against the expected list.
dpkg-deb -c "$deb" | awk '{ line = $1 " " substr($6, 2); if ($7 != "") line = line " " $7 " " $8; print line }' |
    LC_ALL=C sort -k2 >"$scratch/files"
if ! diff -u "$src/tests/package/files.txt" "$scratch/files"; then
    echo "the package's files differ from tests/package/files.txt" >&2
    exit 1
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for wanted in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 libchm1 qt6-qpa-plugins; do
    grep -q "\b$wanted\b" <<<"$depends" || { echo "Depends lacks $wanted" >&2; exit 1; }
done

dpkg -x "$deb" "$scratch/root"
root=$scratch/root
desktop-file-validate "$root/usr/share/applications/transxade.desktop"
for chm in XADE.CHM XADE-gl.chm; do
    [ -f "$root/usr/lib/transxade/$chm" ] || { echo "$chm is not beside the window's program" >&2; exit 1; }
done
for page in man/man1/transxade man/man1/TransVestranosXadeCSV man/man1/vestrano-host \
    man/gl/man1/transxade man/gl/man1/TransVestranosXadeCSV man/gl/man1/vestrano-host; do
    # Read from the page's manual folder, where vestrano-host's ".so man1/..." link resolves.
    folder=$root/usr/share/${page%/man1/*}
    heading=NAME
    [[ $page != */gl/* ]] || heading=NOME
    text=$(cd "$folder" && MANWIDTH=80 man --warnings -l "man1/${page##*/}.1.gz" 2>"$scratch/warnings")
    [ ! -s "$scratch/warnings" ] || { echo "man $page:" >&2; cat "$scratch/warnings" >&2; exit 1; }
    grep -q "^$heading" <<<"$text" || { echo "man $page shows no page" >&2; exit 1; }
done
for program in usr/bin/transxade usr/lib/transxade/TransVestranosXadeCSV usr/lib/transxade/vestrano-host \
    usr/lib/transxade/vestrano-standin; do
    if ldd "$root/$program" | grep -q "not found"; then
        echo "$program: a library is missing" >&2
        exit 1
    fi
done

# The installed batch converter runs the example school there and back.
work=$scratch/work
mkdir "$work" "$scratch/out"
"$root/usr/bin/transxade" import --csv examples/school --call 2026ORD --levels examples/school/niveles.csv \
    --work "$work" >/dev/null
"$root/usr/lib/transxade/vestrano-standin" --work "$work" --seed 1 >/dev/null
"$root/usr/bin/transxade" export --csv "$scratch/out" --work "$work" >/dev/null
lines=$(wc -l <"$scratch/out/HORARIO.CSV")
[ "$lines" -gt 0 ] || { echo "the installed transxade wrote an empty HORARIO.CSV" >&2; exit 1; }
echo "installed transxade: HORARIO.CSV with $lines lines"

# The window's starter copies the program files into a folder the user owns, refreshes them when
# the installed ones change, and starts the copy. Tried with stand-ins for the programs.
inst=$scratch/inst
mkdir -p "$inst" "$scratch/home" "$scratch/bin"
sed "s|^installed=/usr/lib/transxade|installed=$inst|" "$root/usr/bin/TransVestranosXadeCSV" \
    >"$scratch/bin/TransVestranosXadeCSV"
for p in TransVestranosXadeCSV vestrano-host; do
    printf '#!/bin/sh\necho "$(basename "$0") 1 in $(dirname "$0"): $*"\n' >"$inst/$p"
    chmod +x "$inst/$p"
done
cp "$root/usr/lib/transxade/XADE.CHM" "$root/usr/lib/transxade/XADE-gl.chm" "$inst/"
ln -s TransVestranosXadeCSV "$scratch/bin/vestrano-host"
chmod +x "$scratch/bin/TransVestranosXadeCSV"
got=$(HOME="$scratch/home" "$scratch/bin/TransVestranosXadeCSV" importar 1A2B)
[ "$got" = "TransVestranosXadeCSV 1 in $scratch/home/.local/lib/transxade: importar 1A2B" ] ||
    { echo "starter: $got" >&2; exit 1; }
sed -i 's/ 1 in / 2 in /' "$inst/vestrano-host"
got=$(HOME="$scratch/home" "$scratch/bin/vestrano-host" --direction exportar)
[ "$got" = "vestrano-host 2 in $scratch/home/.local/lib/transxade: --direction exportar" ] ||
    { echo "starter as vestrano-host: $got" >&2; exit 1; }
for chm in XADE.CHM XADE-gl.chm; do
    cmp -s "$inst/$chm" "$scratch/home/.local/lib/transxade/$chm" || { echo "$chm not copied" >&2; exit 1; }
done

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 --display-info "$deb"
echo "lintian: no errors"
