#!/usr/bin/env bash
# Installs what is missing, builds the release and makes the Debian package
# build/package/transxade_<version>_amd64.deb with CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh release
rm -f build/package/*.deb
log=build/package.log
if ! (cd build/release && cpack -G DEB) >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "Packaging failed; the whole log is in $log" >&2
    exit 1
fi
ls build/package/*.deb
