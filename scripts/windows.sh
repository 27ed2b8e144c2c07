#!/usr/bin/env bash
# Provides what the Windows build needs on this Debian machine and runs it: mingw-w64, Qt 6
# built from Debian's own qt6-base source, GoogleTest, Wine to run what was built. The build
# itself is CMake's (the "windows" preset), the installer CPack's (NSIS).
#
# Usage: scripts/windows.sh [stage ...]
#   deps       install the missing Debian packages
#   qt         build Qt for Windows into the cache, unless a build with the same key is there
#   gtest      build GoogleTest for Windows into the cache, likewise
#   wine       prepare the Wine prefix (build/windows/wine)
#   build      configure and build the converter into build/windows
#   installer  install into build/windows/deploy and make build/windows/TransVestranosXadeCSV-setup.exe
#   test       run the tests built for Windows under Wine, with an X server of our own, and
#              compare the Windows programs with the Linux build's (tests/windows)
#   installcheck  the installer and the installed window as a standard user (tests/windows)
#   all        the stages above, in this order (the default)
#
# Nothing is downloaded from anywhere but Debian's archive. The Qt and GoogleTest builds are
# cached outside the checkout, in ${TRANSXADE_CACHE:-${XDG_CACHE_HOME:-~/.cache}/transxade},
# keyed by their version, their configure options and the mingw-w64 version; delete a folder
# there to build it again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

triplet=x86_64-w64-mingw32
toolchain=$root/cmake/mingw-w64-x86_64.cmake
cache=${TRANSXADE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/transxade}
out=$root/build/windows
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 fonts-wine nsis xvfb xdotool librsvg2-bin imagemagick
    cmake ninja-build xz-utils ccache
    qt6-base-dev qt6-base-dev-tools googletest libcli11-dev nlohmann-json3-dev
)

say() { echo "== $*" >&2; }
die() { echo "windows.sh: $*" >&2; exit 1; }
source tests/windows/wine_session.sh

# The Debian version of an installed package, or nothing.
installed_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true; }

# A short hash of its arguments, one per line.
options_hash() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

# Characters of Debian versions that make awkward folder names.
folder_safe() { echo "$1" | tr ':~+' '__-'; }

stage_deps() {
    local missing=() p
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    say "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# ---------------------------------------------------------------------------------------------
# Qt

qt_version() {
    local v
    v=$(installed_version qt6-base-dev)
    [ -n "$v" ] || die "qt6-base-dev is not installed (run the deps stage)"
    local tools
    tools=$(installed_version qt6-base-dev-tools)
    [ "$tools" = "$v" ] || die "qt6-base-dev $v and qt6-base-dev-tools ${tools:-(missing)} differ: install both of one version"
    echo "$v"
}

mingw_version() {
    echo "$(installed_version g++-mingw-w64-x86-64-posix)/$(installed_version mingw-w64-x86-64-dev)"
}

# Only what the converter uses: Core, Gui, Widgets, Test; the windows, offscreen and minimal
# platform plugins; the windowsvista style. Third-party code comes from Qt's own copies.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_pkg_config=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON
    -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DFEATURE_png=ON
    # Debian's "+dfsg" tarball leaves out src/3rdparty/wintab, which tablet events need.
    -DFEATURE_tabletevent=OFF
    # Turning direct2d off breaks the link of the windows platform plugin in Qt 6.4; only
    # the Direct2D 1.1 paint engine is left out.
    -DFEATURE_direct2d1_1=OFF
)

qt_prefix() {
    local v
    v=$(qt_version)
    echo "$cache/qt6-win64-$(folder_safe "${v%%+*}")-$(options_hash "$v" "$(mingw_version)" "${qt_options[@]}")"
}

# The system's apt sources as deb-src entries in a private folder, so that apt fetches the source
# package without touching the system's apt configuration.
write_source_list() {
    local dir=$1 f
    mkdir -p "$dir/lists/partial"
    rm -f "$dir"/*.sources "$dir"/*.list
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$dir/$(basename "$f")"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -n 's/^deb \(.*\)/deb-src \1/p' "$f" >"$dir/$(basename "$f").list"
    done
    return 0
}

# Fetches and unpacks Debian's qt6-base source (the upstream tarball) into $1/qtbase.
fetch_qt_source() {
    local dir=$1 version
    version=$(qt_version)
    local apt_dir=$cache/apt-src
    write_source_list "$apt_dir"
    local aptopt=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir"
                  -o "Dir::State::Lists=$apt_dir/lists" -o Debug::NoLocking=1
                  -o APT::Sandbox::User=root)
    apt-get "${aptopt[@]}" -qq update
    # The source of exactly the host's Qt: its moc and rcc build the Windows programs, and they
    # must agree with the Windows Qt they are built against.
    local tarball=$cache/src/qt6-base_${version%-*}.orig.tar.xz
    if [ ! -f "$tarball" ]; then
        mkdir -p "$cache/src"
        (cd "$cache/src" && apt-get "${aptopt[@]}" -qq source --download-only "qt6-base=$version") ||
            die "Debian's archive no longer has the source of qt6-base $version, the Qt installed here; upgrade qt6-base-dev and qt6-base-dev-tools (apt-get install) so that they agree with the archive"
        [ -f "$tarball" ] || die "the source of qt6-base $version did not arrive as $tarball"
    fi
    say "unpacking $(basename "$tarball")"
    mkdir -p "$dir/qtbase"
    tar -xf "$tarball" -C "$dir/qtbase" --strip-components=1
}

# cmake_install_into PREFIX LOG SOURCE OPTION...: configures, builds and installs a CMake project
# for Windows into PREFIX, through PREFIX.partial, so that PREFIX exists only when complete.
cmake_install_into() {
    local prefix=$1 log=$2 source=$3 build
    shift 3
    build=$(dirname "$log")/build
    if ! {
        nice -n 19 cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_INSTALL_PREFIX="$prefix.partial" "$@" &&
        nice -n 19 cmake --build "$build" -j "$jobs" &&
        rm -rf "$prefix.partial" && cmake --install "$build"
    } >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        mkdir -p "$root/build"
        cp "$log" "$root/build/windows-$(basename "$prefix").log"
        die "the build of $(basename "$prefix") failed; its whole log is in build/windows-$(basename "$prefix").log"
    fi
}

stage_qt() {
    local prefix
    prefix=$(qt_prefix)
    if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
        say "Qt for Windows: $prefix (cached)"
        return 0
    fi
    say "building Qt $(qt_version) for Windows into $prefix (about 17 minutes on 2 cores)"
    mkdir -p "$cache"
    # The build tree (860 MB) has a fixed name beside the install folder, so a build that was
    # stopped part way (a closed terminal, a session's end) goes on where it was when run again;
    # it is removed once Qt is installed.
    local work=$prefix.build
    local t0 t1 t2
    t0=$(date +%s)
    if [ ! -f "$work/unpacked" ]; then
        rm -rf "$work" && mkdir -p "$work" && fetch_qt_source "$work" && touch "$work/unpacked"
    fi
    t1=$(date +%s)
    cmake_install_into "$prefix" "$work/build.log" "$work/qtbase" "${qt_options[@]}"
    t2=$(date +%s)
    {
        echo "Qt $(qt_version) for x86_64 Windows, mingw-w64 $(mingw_version)"
        echo "fetch and unpack: $((t1 - t0)) s; configure, build and install: $((t2 - t1)) s"
        echo "options:"
        printf '  %s\n' "${qt_options[@]}"
    } >"$prefix.partial/transxade-build.txt"
    mv "$prefix.partial" "$prefix"
    # Qt's CMake files find their prefix relative to themselves; the few text files that name
    # the install folder (qmake's wrapper and configuration) get the final name.
    grep -rlIF "$prefix.partial" "$prefix" 2>/dev/null | while IFS= read -r f; do
        sed -i "s|$prefix\.partial|$prefix|g" "$f"
    done
    rm -rf "$work"
    say "Qt for Windows built in $((t2 - t0)) s: $prefix ($(du -sh "$prefix" | cut -f1))"
}

# ---------------------------------------------------------------------------------------------
# GoogleTest, from Debian's source in /usr/src/googletest, built as C++20 like our tests (built
# as C++17 it does not link with them: PrintU8StringTo).

gtest_options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_STANDARD=20 -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON)

gtest_prefix() {
    local v
    v=$(installed_version googletest)
    [ -n "$v" ] || die "googletest is not installed (run the deps stage)"
    echo "$cache/gtest-win64-$(folder_safe "${v%%-*}")-$(options_hash "$v" "$(mingw_version)" "${gtest_options[@]}")"
}

stage_gtest() {
    local prefix
    prefix=$(gtest_prefix)
    if [ -d "$prefix/lib/cmake/GTest" ]; then
        say "GoogleTest for Windows: $prefix (cached)"
        return 0
    fi
    say "building GoogleTest for Windows into $prefix"
    local work t0
    work=$(mktemp -d "$cache/gtest-build.XXXXXX")
    t0=$(date +%s)
    cmake_install_into "$prefix" "$work/build.log" /usr/src/googletest "${gtest_options[@]}"
    mv "$prefix.partial" "$prefix"
    rm -rf "$work"
    say "GoogleTest for Windows built in $(($(date +%s) - t0)) s"
}

# ---------------------------------------------------------------------------------------------
# Wine: one prefix for this checkout, 64-bit only, with a virtual desktop, so that windows get
# frames and closing one does not wait for a window manager.

stage_wine() {
    wine_env "$out/wine"
    if [ -f "$WINEPREFIX/transxade-ready" ]; then
        say "Wine prefix: $WINEPREFIX (ready)"
        return 0
    fi
    say "preparing the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$out"
    local t0 log=$out/wine-prefix.log
    t0=$(date +%s)
    if ! {
        "$wine64" wineboot -i &&
        "$wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f &&
        "$wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f &&
        /usr/lib/wine/wineserver -w
    } >"$log" 2>&1; then
        tail -n 20 "$log" >&2
        die "the Wine prefix could not be made; the log is in $log"
    fi
    touch "$WINEPREFIX/transxade-ready"
    say "Wine prefix ready in $(($(date +%s) - t0)) s ($(du -sh "$WINEPREFIX" | cut -f1))"
}

# ---------------------------------------------------------------------------------------------
# The converter, its installer and its tests

stage_build() {
    export TRANSXADE_WINDOWS_QT TRANSXADE_WINDOWS_GTEST
    TRANSXADE_WINDOWS_QT=$(qt_prefix)
    TRANSXADE_WINDOWS_GTEST=$(gtest_prefix)
    [ -f "$TRANSXADE_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake" ] || die "no Qt for Windows in $TRANSXADE_WINDOWS_QT (run the qt stage)"
    [ -d "$TRANSXADE_WINDOWS_GTEST/lib/cmake/GTest" ] || die "no GoogleTest for Windows in $TRANSXADE_WINDOWS_GTEST (run the gtest stage)"
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    local log=$out/build.log
    mkdir -p "$out"
    say "configuring and building the converter for Windows into $out"
    if ! cmake --preset windows >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        die "configuring the Windows build failed; the whole log is in $log"
    fi
    # Keep going past the first failure, so that the log names every file that does not
    # compile for Windows yet.
    if ! nice -n 10 cmake --build "$out" -j "$jobs" -- -k 0 >>"$log" 2>&1; then
        grep -E ': (fatal )?error:|undefined reference' "$log" | sed "s|^$root/||" | sort -u | head -n 30 >&2
        die "the Windows build failed; the whole log is in $log"
    fi
    say "built $out"
}

# The programs as installed, in build/windows/deploy (the tests run them from there), and the
# installer, both from the same install rules.
stage_installer() {
    [ -f "$out/CPackConfig.cmake" ] || die "the converter is not built yet (run the build stage)"
    local t0 log=$out/installer.log
    t0=$(date +%s)
    rm -rf "$out/deploy"
    if ! { cmake --install "$out" --prefix "$out/deploy" && (cd "$out" && cpack -G NSIS); } >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        die "the install or the installer failed; the whole log is in $log"
    fi
    (cd "$out/deploy" && find . -type f | sed 's|^\./||' | sort) >"$out/deploy.txt"
    say "installed into $out/deploy ($(du -sh "$out/deploy" | cut -f1), $(wc -l <"$out/deploy.txt") files)"
    say "installer $out/TransVestranosXadeCSV-setup.exe ($(du -h "$out/TransVestranosXadeCSV-setup.exe" | cut -f1), $(($(date +%s) - t0)) s)"
}

# The tests under Wine, against a Linux build: the test build when there is one (the README's
# test command made it), else the release build, made when missing.
stage_test() {
    [ -f "$out/deploy.txt" ] || die "nothing installed yet (run the installer stage)"
    local linux=$root/build/release b
    for b in "$root/build/test" "$root/build/release"; do
        [ -x "$b/src/cli/transxade" ] && [ -x "$b/tools/standin/vestrano-standin" ] && { linux=$b; break; }
    done
    [ -x "$linux/src/cli/transxade" ] || bash scripts/build.sh release
    bash tests/windows/run.sh "$out" "$linux" || die "Windows tests failed"
}

stage_installcheck() {
    [ -f "$out/TransVestranosXadeCSV-setup.exe" ] || die "no installer yet (run the installer stage)"
    bash tests/windows/installcheck.sh "$out" || die "the install check failed"
    say "the installer installs, uninstalls and serves a standard user"
}

main() {
    local stages=("$@")
    [ ${#stages[@]} -eq 0 ] && stages=(all)
    if [ "${stages[0]}" = all ]; then
        stages=(deps qt gtest wine build installer test installcheck)
    fi
    local s
    for s in "${stages[@]}"; do
        case "$s" in
            deps|qt|gtest|wine|build|installer|test|installcheck) "stage_$s" ;;
            *) die "unknown stage: $s" ;;
        esac
    done
}

main "$@"; exit
