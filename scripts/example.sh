#!/usr/bin/env bash
# Installs what is missing, builds the converter and runs the whole round trip on the example
# school: imports it into a fresh work folder (printing the records written per table), lets the
# stand-in timetable program make a finished timetable there, and exports it as HORARIO.CSV.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh release
bin=build/release/src/cli/transxade
standin=build/release/tools/standin/vestrano-standin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=build/example
mkdir -p "$out"

echo "== import from XADE (examples/school)"
"$bin" import --csv examples/school --call 2026ORD --levels examples/school/niveles.csv --work "$work"
for table in GRUPOST PROFT; do
    echo "== $table"
    "$bin" dump "$work/$table.DBF" --format csv
done

echo "== stand-in timetable program (seed 1)"
"$standin" --work "$work" --seed 1

echo "== export to XADE"
"$bin" export --csv "$out" --work "$work"
lines=$(wc -l <"$out/HORARIO.CSV")
echo "HORARIO.CSV is $(cd "$out" && pwd)/HORARIO.CSV, $lines lines"
