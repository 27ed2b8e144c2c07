#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers on, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh test
cd build/test
export LC_ALL=C.UTF-8
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"
