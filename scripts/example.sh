#!/usr/bin/env bash
# Installs what is missing, builds the converter and runs it on the example school.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh release
bin=build/release/src/cli/transxade
for f in examples/school/*.csv; do
    echo "== $f"
    "$bin" fields "$f"
done
