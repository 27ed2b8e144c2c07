#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all (figures on stdout).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh bench
cmake --build build/bench --target bench
