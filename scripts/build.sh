#!/usr/bin/env bash
# Configures and builds one flavour of the converter into build/<flavour>, as CMakePresets.json
# describes it.
# Usage: scripts/build.sh release|test|bench|fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
jobs=$(nproc 2>/dev/null || echo 2)

case "$flavour" in
    release|test|bench|fuzz) ;;
    *) echo "unknown flavour: $flavour" >&2; exit 64 ;;
esac

mkdir -p build
log="build/$flavour.log"
if ! { cmake --preset "$flavour" && cmake --build "build/$flavour" -j "$jobs"; } >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "The $flavour build failed; the whole log is in $log" >&2
    exit 1
fi
echo "Built build/$flavour" >&2
