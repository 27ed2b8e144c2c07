#!/usr/bin/env bash
# Configures and builds one flavour of the converter into build/<flavour>.
# Usage: scripts/build.sh release|test|bench|fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
jobs=$(nproc 2>/dev/null || echo 2)

case "$flavour" in
    release) args=(-DCMAKE_BUILD_TYPE=Release -DCONV_TESTS=OFF) ;;
    test)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONV_TESTS=ON -DCONV_ASAN=ON -DCONV_WERROR=ON) ;;
    bench)   args=(-DCMAKE_BUILD_TYPE=Release -DCONV_TESTS=OFF -DCONV_BENCH=ON) ;;
    fuzz)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONV_TESTS=ON -DCONV_FUZZ=ON -DCONV_ASAN=ON
                   -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "unknown flavour: $flavour" >&2; exit 64 ;;
esac

cmake -S . -B "build/$flavour" -G Ninja "${args[@]}" >/dev/null
cmake --build "build/$flavour" -j "$jobs"
