#!/usr/bin/env bash
# The tests of the Windows build, as Windows programs under Wine with an X server of our own:
# the test programs (ctest), then the installed programs against a Linux build's
# (windows_test.sh). Wine drops environment variables named QT_*: a test that needs one passes
# it as WINEQT_*.
# Usage: run.sh WINDOWS_BUILD LINUX_BUILD
# WINDOWS_BUILD has been built and installed into WINDOWS_BUILD/deploy (scripts/windows.sh);
# LINUX_BUILD holds src/cli/transxade and tools/standin/vestrano-standin.
set -euo pipefail
out=$(realpath "$1")
linux=$(realpath "$2")
source=$(realpath "$(dirname "$0")/../..")
die() { echo "run.sh: $*" >&2; exit 1; }
say() { echo "== $*" >&2; }
source "$(dirname "$0")/wine_session.sh"
[ -f "$out/deploy.txt" ] || die "nothing installed into $out/deploy yet"

# The DLLs the programs built there import: Qt's (the build's Qt), the C++ run-time's.
qt_dir=$(sed -n 's/^Qt6_DIR:[A-Z]*=//p' "$out/CMakeCache.txt")
triplet=x86_64-w64-mingw32
folders=("$(realpath "$qt_dir/../../../bin")" "$(ls -d /usr/lib/gcc/$triplet/*-posix | sort -V | tail -n 1)"
         "/usr/$triplet/lib")
WINEPATH=$(IFS=';'; printf '%s' "${folders[*]/#/Z:}" | tr '/' '\\')
export WINEPATH

wine_env "$out/wine"
trap 'stop_xvfb; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
start_xvfb
# One wineserver for all the tests: a cold start costs each test program ~2.5 s.
/usr/lib/wine/wineserver -p
"$wine64" cmd /c exit >/dev/null 2>&1 || true
rc=0
t0=$(date +%s)
(cd "$out" && ctest --output-on-failure --timeout 300 -j "$(nproc 2>/dev/null || echo 2)") || rc=$?
say "the test programs under Wine: $(($(date +%s) - t0)) s"
t0=$(date +%s)
bash "$source/tests/windows/windows_test.sh" "$out" "$out/deploy" "$linux/src/cli/transxade" \
    "$linux/tools/standin/vestrano-standin" "$source" || rc=1
say "the Windows programs against the Linux build's: $(($(date +%s) - t0)) s"
exit "$rc"
