#!/usr/bin/env bash
# Installs what is missing, builds the converter and imports the example school into a fresh
# work folder, printing the records written per table; then shows two of the tables.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh release
bin=build/release/src/cli/transxade
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin" import --csv examples/school --call 2026ORD --levels examples/school/niveles.csv --work "$work"
for table in GRUPOST PROFT; do
    echo "== $table"
    "$bin" dump "$work/$table.DBF" --format csv
done
