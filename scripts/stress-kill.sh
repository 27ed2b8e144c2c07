#!/usr/bin/env bash
# Kills many imports of a large generated school at random points and checks each time that the
# work folder is marked unfinished, its tables read back sound, and a new import mends it.
# Usage: scripts/stress-kill.sh [ROUNDS] [SCALE]   (default 100 rounds of a school at scale 0.1)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-100}
scale=${2:-0.1}
bash scripts/deps.sh
bash scripts/build.sh bench
school=$(mktemp -d)
trap 'rm -rf "$school"' EXIT
build/bench/bench/bench_import --generate "$school" "$scale"
bash tests/faults/kill_test.sh build/bench/src/cli/transxade "$school" 2026ORD "$school/niveles.csv" "$rounds" 3000
