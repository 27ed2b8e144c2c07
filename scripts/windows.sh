#!/usr/bin/env bash
# Builds the converter for 64-bit Windows on this Debian machine (mingw-w64, Qt 6 built from
# Debian's own qt6-base source, Wine to run what was built) and makes the installer.
#
# Usage: scripts/windows.sh [stage ...]
#   deps       install the missing Debian packages
#   qt         build Qt for Windows into the cache, unless a build with the same key is there
#   gtest      build GoogleTest for Windows into the cache, likewise
#   wine       prepare the Wine prefix (build/windows/wine)
#   build      configure and build the converter into build/windows
#   deploy     gather the programs and the DLLs they import into build/windows/deploy
#   installer  make build/windows/TransVestranosXadeCSV-setup.exe with NSIS
#   test       run the tests built for Windows under Wine, with an X server of our own, and
#              compare the Windows programs with the Linux build's (tests/windows)
#   installcheck  install and uninstall silently in a fresh Wine prefix and check the files
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
wine64=/usr/lib/wine/wine64

packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 fonts-wine nsis xvfb librsvg2-bin imagemagick
    cmake ninja-build xz-utils ccache
    qt6-base-dev qt6-base-dev-tools googletest libcli11-dev nlohmann-json3-dev
)

say() { echo "== $*" >&2; }
die() { echo "windows.sh: $*" >&2; exit 1; }

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

# The system's entry for the Debian main archive, as a deb-src entry in a private folder, so
# that apt fetches the source package without touching the system's apt configuration.
write_source_list() {
    local dir=$1 codename entry
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    entry=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v suite="$codename" '
        BEGIN { RS = ""; FS = "\n" }
        {
            uris = ""; suites = ""; comps = ""; signed = ""
            for (i = 1; i <= NF; i++) {
                line = $i
                if (line ~ /^URIs:/)       { sub(/^URIs:[ \t]*/, "", line); uris = line }
                if (line ~ /^Suites:/)     { sub(/^Suites:[ \t]*/, "", line); suites = " " line " " }
                if (line ~ /^Components:/) { sub(/^Components:[ \t]*/, "", line); comps = " " line " " }
                if (line ~ /^Signed-By:/)  { sub(/^Signed-By:[ \t]*/, "", line); signed = line }
            }
            if (index(suites, " " suite " ") && index(comps, " main ") && uris != "") {
                print uris "\t" signed; exit
            }
        }')
    local uri signed_by
    if [ -n "$entry" ]; then
        uri=${entry%%$'\t'*}
        signed_by=${entry#*$'\t'}
    else
        # A machine with a one-line sources.list.
        uri=$(grep -hE "^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+ +$codename +.*main" /etc/apt/sources.list 2>/dev/null \
            | head -n 1 | sed -E 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/')
        signed_by=/usr/share/keyrings/debian-archive-keyring.gpg
    fi
    [ -n "$uri" ] || die "no Debian main archive for $codename in the system's apt sources"
    mkdir -p "$dir/lists/partial"
    {
        echo "Types: deb-src"
        echo "URIs: $uri"
        echo "Suites: $codename"
        echo "Components: main"
        [ -n "$signed_by" ] && echo "Signed-By: $signed_by"
    } >"$dir/debian-src.sources"
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
    local tarball
    tarball=$(ls "$cache"/src/qt6-base_"${version%-*}".orig.tar.xz 2>/dev/null || true)
    if [ -z "$tarball" ]; then
        mkdir -p "$cache/src"
        # The exact source of the host's Qt when the archive still has it, else the suite's.
        (cd "$cache/src" && { apt-get "${aptopt[@]}" -qq source --download-only "qt6-base=$version" \
            || apt-get "${aptopt[@]}" -qq source --download-only qt6-base; })
        tarball=$(ls "$cache"/src/qt6-base_*.orig.tar.xz | head -n 1)
    fi
    say "unpacking $(basename "$tarball")"
    mkdir -p "$dir/qtbase"
    tar -xf "$tarball" -C "$dir/qtbase" --strip-components=1
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
    local log=$work/build.log
    t1=$(date +%s)
    if ! {
        nice -n 19 cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix.partial" \
            "${qt_options[@]}" &&
        nice -n 19 cmake --build "$work/build" -j "$jobs" &&
        rm -rf "$prefix.partial" && cmake --install "$work/build"
    } >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        mkdir -p "$root/build"
        cp "$log" "$root/build/windows-qt.log"
        die "the Qt build failed; its whole log is in build/windows-qt.log"
    fi
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
    mkdir -p "$cache"
    gtest_work=$(mktemp -d "$cache/gtest-build.XXXXXX")
    trap 'rm -rf "$gtest_work"' EXIT
    local log=$gtest_work/build.log t0
    t0=$(date +%s)
    if ! {
        cmake -S /usr/src/googletest -B "$gtest_work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_INSTALL_PREFIX="$prefix.partial" "${gtest_options[@]}" &&
        nice -n 19 cmake --build "$gtest_work/build" -j "$jobs" &&
        rm -rf "$prefix.partial" && cmake --install "$gtest_work/build"
    } >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        die "the GoogleTest build failed"
    fi
    mv "$prefix.partial" "$prefix"
    rm -rf "$gtest_work"
    trap - EXIT
    say "GoogleTest for Windows built in $(($(date +%s) - t0)) s"
}

# ---------------------------------------------------------------------------------------------
# Header-only libraries from the host's packages, seen by the cross build through a folder of
# their own: pointing CMake at /usr would put /usr/include, with the host's C library headers,
# before mingw-w64's.

header_libraries() {
    local dir=$out/headers
    rm -rf "$dir"
    mkdir -p "$dir/include" "$dir/share/cmake"
    local d
    for d in CLI nlohmann; do
        [ -d "/usr/include/$d" ] || die "/usr/include/$d is missing (run scripts/deps.sh)"
        ln -s "/usr/include/$d" "$dir/include/$d"
    done
    for d in CLI11 nlohmann_json; do
        cp -r "/usr/share/cmake/$d" "$dir/share/cmake/$d"
    done
    echo "$dir"
}

# ---------------------------------------------------------------------------------------------
# Wine: one prefix for this checkout, 64-bit only. No Mono or Gecko prompts; a virtual desktop,
# so that windows get frames and closing one does not wait for a window manager.

wine_env() {
    export WINEPREFIX=$out/wine WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko prompts, and no debugger that waits for someone when a program crashes.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}

wine_run() { "$wine64" "$@"; }

# Windows paths (Z:\...) of the folders with the DLLs the programs built here need, so that
# they run from the build folder (gtest discovery runs them at build time).
wine_dll_path() {
    local folders=() f
    while read -r f; do folders+=("Z:${f//\//\\}"); done < <(dll_folders)
    (IFS=';'; echo "${folders[*]}")
}

# An X server of our own for the programs with windows: Xvfb picks a free display and tells it.
xvfb_pid=
start_xvfb() {
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fd_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do [ -s "$fd_file" ] && break; sleep 0.05; done
    [ -s "$fd_file" ] || die "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$fd_file")"
    rm -f "$fd_file"
}
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    xvfb_pid=
}

stage_wine() {
    wine_env
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
        wine_run wineboot -i &&
        wine_run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f &&
        wine_run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f &&
        /usr/lib/wine/wineserver -w
    } >"$log" 2>&1; then
        tail -n 20 "$log" >&2
        die "the Wine prefix could not be made; the log is in $log"
    fi
    touch "$WINEPREFIX/transxade-ready"
    say "Wine prefix ready in $(($(date +%s) - t0)) s ($(du -sh "$WINEPREFIX" | cut -f1))"
}

# ---------------------------------------------------------------------------------------------
# The converter

stage_build() {
    local qt gtest headers
    qt=$(qt_prefix)
    gtest=$(gtest_prefix)
    [ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ] || die "no Qt for Windows in $qt (run the qt stage)"
    [ -d "$gtest/lib/cmake/GTest" ] || die "no GoogleTest for Windows in $gtest (run the gtest stage)"
    headers=$(header_libraries)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    local log=$out/build.log
    mkdir -p "$out"
    say "configuring and building the converter for Windows into $out"
    if ! cmake -S . -B "$out" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
            -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCONV_TESTS=ON \
            -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
            -DGTest_DIR="$gtest/lib/cmake/GTest" \
            -DCLI11_DIR="$headers/share/cmake/CLI11" \
            -Dnlohmann_json_DIR="$headers/share/cmake/nlohmann_json" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        die "configuring the Windows build failed; the whole log is in $log"
    fi
    # Keep going past the first failure, so that the log names every file that does not
    # compile for Windows yet.
    if ! nice -n 10 cmake --build "$out" -j "$jobs" -- -k 0 >>"$log" 2>&1; then
        report_build_errors "$log"
        die "the Windows build failed; the whole log is in $log"
    fi
    say "built $out"
}

# Compile errors, counted per file, and the first of each.
report_build_errors() {
    local log=$1
    echo "Files that do not compile for Windows (errors per file; the first error of each):" >&2
    grep -E '^[^ :]+:[0-9]+:[0-9]+: (fatal )?error:' "$log" | sed "s|^$root/||" |
        awk -F: '!seen[$1]++ { first[$1] = $0; order[++n] = $1 } { count[$1]++ }
                 END { for (i = 1; i <= n; i++) printf "  %4d  %s\n        %s\n", count[order[i]], order[i], first[order[i]] }' >&2
    grep -E 'undefined reference|ld returned' "$log" | sort | uniq -c | head -n 20 >&2 || true
}

# ---------------------------------------------------------------------------------------------
# Deploying: the programs, the Qt plugins they load, and every DLL they import that is not part
# of Windows, found by walking the import tables (there is no windeployqt in a cross build).

dll_folders() {
    echo "$(qt_prefix)/bin"
    echo "/usr/lib/gcc/$triplet/$(basename "$(ls -d /usr/lib/gcc/$triplet/*-posix | sort -V | tail -n 1)")"
    echo "/usr/$triplet/lib"
}

imports_of() { "$triplet-objdump" -p "$1" | awk '/DLL Name:/ { print $3 }'; }

# The file of that name in the DLL folders (Windows file names are case-blind), or nothing.
find_dll() {
    local name=$1 folder hit
    while read -r folder; do
        hit=$(find "$folder" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)
        [ -n "$hit" ] && { echo "$hit"; return 0; }
    done < <(dll_folders)
    return 0
}

# The help file the build compiled from docs/help.
help_file() {
    local f
    for f in "${TRANSXADE_CHM:-}" "$out/src/app/XADE.CHM"; do
        [ -n "$f" ] && [ -f "$f" ] && { echo "$f"; return 0; }
    done
    return 0
}

# gather_dlls FOLDER: copies every DLL that the programs and plugins in FOLDER import, and
# those DLLs' own imports, from the DLL folders into FOLDER; then strips them all (Debian's
# libstdc++-6.dll is 23.7 MB with its symbols, 1.9 MB without).
gather_dlls() {
    local dest=$1
    local queue=() seen=" " f name dll
    while IFS= read -r f; do queue+=("$f"); done < <(find "$dest" -type f \( -iname '*.exe' -o -iname '*.dll' \))
    for f in "${queue[@]}"; do seen+="$(basename "${f,,}") "; done
    while [ ${#queue[@]} -gt 0 ]; do
        f=${queue[0]}
        queue=("${queue[@]:1}")
        while read -r name; do
            [[ $seen == *" ${name,,} "* ]] && continue
            seen+="${name,,} "
            dll=$(find_dll "$name")
            # Not in our folders: part of Windows (KERNEL32.dll, USER32.dll, ...).
            [ -n "$dll" ] || continue
            cp "$dll" "$dest/"
            queue+=("$dest/$(basename "$dll")")
        done < <(imports_of "$f")
    done
    find "$dest" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec "$triplet-strip" --strip-unneeded {} +
}

stage_deploy() {
    local gui=$out/src/app/TransVestranosXadeCSV.exe cli=$out/src/cli/transxade.exe
    [ -f "$gui" ] && [ -f "$cli" ] || die "the programs are not built yet (run the build stage)"
    local dest=$out/deploy chm qt
    qt=$(qt_prefix)
    rm -rf "$dest"
    # The window draws with Qt's own Fusion style everywhere: no style plugin is needed.
    mkdir -p "$dest/platforms"
    cp "$gui" "$cli" "$dest/"
    cp "$qt/plugins/platforms/qwindows.dll" "$dest/platforms/"
    gather_dlls "$dest"
    chm=$(help_file)
    [ -n "$chm" ] || die "no XADE.CHM in the build (the xade_chm target compiles it)"
    cp "$chm" "$dest/XADE.CHM"
    (cd "$dest" && find . -type f | sed 's|^\./||' | sort) >"$out/deploy.txt"
    say "deployed into $dest ($(du -sh "$dest" | cut -f1)):"
    sed 's/^/   /' "$out/deploy.txt" >&2
}

# ---------------------------------------------------------------------------------------------
# The installer: NSIS, 64-bit, Unicode. It installs exactly the files of the deploy folder.

# nsis_lists FOLDER OUTDIR: writes install.nsh and uninstall.nsh, the File and Delete lines for
# every file of FOLDER (so that the uninstaller removes what was installed and nothing else).
nsis_lists() {
    local from=$1 to=$2 f dir
    : >"$to/install.nsh"
    : >"$to/uninstall.nsh"
    local dirs=()
    while IFS= read -r dir; do dirs+=("$dir"); done < <(cd "$from" && find . -type d | sed 's|^\./\?||' | sort)
    for dir in "${dirs[@]}"; do
        local win=${dir//\//\\}
        echo "SetOutPath \"\$INSTDIR${win:+\\$win}\"" >>"$to/install.nsh"
        while IFS= read -r f; do
            local wf=${f//\//\\}
            echo "File \"$(cd "$from" && pwd)/$f\"" >>"$to/install.nsh"
            echo "Delete \"\$INSTDIR\\$wf\"" >>"$to/uninstall.nsh"
        done < <(cd "$from" && find "./$dir" -maxdepth 1 -type f | sed 's|^\./||; s|^/||' | sort)
    done
    # Sub-folders after their files, deepest first; the install folder itself comes last.
    for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do
        [ -n "${dirs[$i]}" ] && echo "RMDir \"\$INSTDIR\\${dirs[$i]//\//\\}\"" >>"$to/uninstall.nsh"
    done
    return 0
}

# make_installer FOLDER OUTFILE
make_installer() {
    local from=$1 setup=$2 lists
    lists=$(mktemp -d)
    nsis_lists "$from" "$lists"
    local version
    version=$(sed -n 's/^project(TransXade VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    if ! makensis -V2 -INPUTCHARSET UTF8 -DVERSION="${version:-0.0.0}" -DLISTS="$lists" -DOUTFILE="$setup" \
            -DICON="$out/src/app/transxade.ico" \
            packaging/windows/installer.nsi >"$out/installer.log" 2>&1; then
        cat "$out/installer.log" >&2
        rm -rf "$lists"
        die "makensis failed"
    fi
    rm -rf "$lists"
}

stage_installer() {
    [ -f "$out/deploy.txt" ] || die "nothing deployed yet (run the deploy stage)"
    local setup=$out/TransVestranosXadeCSV-setup.exe t0
    t0=$(date +%s)
    make_installer "$out/deploy" "$setup"
    say "installer $setup ($(du -h "$setup" | cut -f1), $(($(date +%s) - t0)) s)"
}

# ---------------------------------------------------------------------------------------------
# The tests, as Windows programs under Wine, with an X server of our own for the windows. Wine
# drops environment variables named QT_*: a test that needs one passes it as WINEQT_*.

stage_test() {
    [ -f "$out/CTestTestfile.cmake" ] || die "the converter is not built yet (run the build stage)"
    wine_env
    WINEPATH=$(wine_dll_path)
    export WINEPATH
    trap 'stop_xvfb; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
    start_xvfb
    # One wineserver for all the tests: a cold start costs each test program ~2.5 s.
    /usr/lib/wine/wineserver -p
    wine_run cmd /c exit >/dev/null 2>&1 || true
    local rc=0 t0
    t0=$(date +%s)
    (cd "$out" && ctest --output-on-failure --timeout 300 -j "$jobs") || rc=$?
    say "the test programs under Wine: $(($(date +%s) - t0)) s"
    # The programs as a school uses them, against the Linux build's.
    t0=$(date +%s)
    local linux
    linux=$(linux_build)
    bash tests/windows/windows_test.sh "$out" "$out/deploy" "$linux/src/cli/transxade" \
        "$linux/tools/standin/vestrano-standin" "$root" || rc=1
    say "the Windows programs against the Linux build's: $(($(date +%s) - t0)) s"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    stop_xvfb
    trap - EXIT
    [ "$rc" -eq 0 ] || die "Windows tests failed"
}

# A Linux build of the converter to compare with: the test build when there is one (the
# README's test command made it), else the release build, made when missing.
linux_build() {
    local b
    for b in "$root/build/test" "$root/build/release"; do
        [ -x "$b/src/cli/transxade" ] && [ -x "$b/tools/standin/vestrano-standin" ] && { echo "$b"; return 0; }
    done
    say "no Linux build to compare with: building the release"
    bash scripts/build.sh release >&2
    echo "$root/build/release"
}

# The installer and the installed window as a school's standard user meets them, in a fresh
# Wine prefix of an unprivileged user. Wine lets a program write wherever the Unix user may, so
# the owner of the install folder stands in for the rights Windows would give. The installer's
# exit status counts only with the files to show for it.
#   1. A folder whose name has a space and a non-ASCII letter: every deployed file, the uninstaller,
#      a start-menu entry and an empty Vestrano.ini; the installed transxade.exe converts the
#      example school; the uninstaller removes all but Vestrano.ini.
#   2. /D= into the timetable program's folder, with blanks and brackets, that holds its own
#      Vestrano.ini and Uninstall.exe: both stay byte for byte, and the users' right to change
#      Vestrano.ini was granted (icacls ran and succeeded, or the installer would exit with 2).
#   3. Without /D= and with no earlier install recorded, the installer finds that folder itself.
#   4. The folder handed to another owner, Vestrano.ini left writable as that right makes it: the
#      installed window embedded in the Win32 host writes Transformado there and ends.
#   5. Vestrano.ini not writable either: the box, "Cancelar", and the window ends.
installcheck_user=nobody
as_user() {
    setpriv --reuid="$installcheck_user" --regid="$(id -gn "$installcheck_user")" --clear-groups \
        env HOME="$WINEPREFIX/../home" "$@"
}
# install_silently [FOLDER]: the installer's exit status (cmd's start /wait hands it on).
install_silently() {
    local rc=0
    if [ $# -gt 0 ]; then
        # NSIS wants /D= last and unquoted even with spaces; through cmd, Wine passes it as it is.
        as_user "$wine64" cmd /c "start /wait C:\\setup.exe /S /D=$1" >/dev/null 2>&1 || rc=$?
    else
        as_user "$wine64" cmd /c "start /wait C:\\setup.exe /S" >/dev/null 2>&1 || rc=$?
    fi
    as_user /usr/lib/wine/wineserver -w
    return "$rc"
}

stage_installcheck() {
    local setup=$out/TransVestranosXadeCSV-setup.exe
    [ -f "$setup" ] || die "no installer yet (run the installer stage)"
    [ "$(id -u)" -eq 0 ] || die "the install check runs the installer as another user: run it as root"
    local group base=$out/installcheck
    group=$(id -gn "$installcheck_user")
    wine_env
    rm -rf "$base"
    mkdir -p "$base/home" "$base/wine" "$base/host"
    export WINEPREFIX=$base/wine
    trap 'stop_xvfb; as_user /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$base"' EXIT
    start_xvfb
    # The Win32 host with the run-time DLLs it needs, where the user can read them.
    cp "$out/tools/win32host/win32host.exe" "$out"/deploy/lib*.dll "$base/host/"
    chown -R "$installcheck_user:$group" "$base"
    local t0
    t0=$(date +%s)
    as_user "$wine64" wineboot -i >/dev/null 2>&1
    say "fresh Wine prefix of $installcheck_user in $(($(date +%s) - t0)) s"
    local c=$WINEPREFIX/drive_c
    cp "$setup" "$c/setup.exe"
    # Wine's icacls does nothing and always succeeds: a recorder of our own takes its place.
    "$triplet-gcc-posix" -municode -O2 -o "$c/windows/system32/icacls.exe" tests/windows/icacls_recorder.c ||
        die "could not build the icacls recorder"
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;icacls.exe=n"
    local menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/TransVestranosXadeCSV.lnk"
    local uninstaller="Desinstalar TransVestranosXadeCSV.exe"

    # 1.
    local folder='C:\Programas\Horário 2026' unix="$c/Programas/Horário 2026" f missing=0
    t0=$(date +%s)
    install_silently "$folder" || die "the silent install into $folder ended with $?"
    say "silent install in $(($(date +%s) - t0)) s"
    while read -r f; do
        [ -f "$unix/$f" ] || { echo "not installed: $f" >&2; missing=1; }
    done <"$out/deploy.txt"
    [ -f "$unix/$uninstaller" ] || { echo "not installed: $uninstaller" >&2; missing=1; }
    [ -f "$menu" ] || { echo "no start-menu entry" >&2; missing=1; }
    [ -f "$unix/Vestrano.ini" ] && [ ! -s "$unix/Vestrano.ini" ] || { echo "no empty Vestrano.ini" >&2; missing=1; }
    [ "$missing" -eq 0 ] || die "the silent install is incomplete"
    local school table
    school=$(realpath examples/school)
    as_user mkdir -p "$c/VTEMP" # the work folder, which users may write
    as_user "$wine64" "$folder\\transxade.exe" import --csv "Z:${school//\//\\}" --call 2026ORD \
        --levels "Z:${school//\//\\}\\niveles.csv" --work 'C:\VTEMP' >"$base/import.log" 2>&1 ||
        { cat "$base/import.log" >&2; die "the installed transxade.exe does not convert the example school"; }
    for table in GRUPOST PROFT AULAT ASIGT ASIGNOMT2 CURSOST; do
        [ -s "$c/VTEMP/$table.DBF" ] || die "the installed transxade.exe wrote no $table.DBF"
    done
    say "the installed transxade.exe converts the example school"
    as_user "$wine64" "$folder\\$uninstaller" /S >/dev/null 2>&1 || true
    as_user /usr/lib/wine/wineserver -w
    sleep 1 # the uninstaller's copy in the temporary folder finishes after the original ends
    if [ "$(ls -A "$unix" 2>&1)" != Vestrano.ini ] || [ -e "$menu" ]; then
        find "$unix" >&2 2>/dev/null || true
        die "the silent uninstall removed too much or too little"
    fi
    say "the installer installs and uninstalls silently; Vestrano.ini stays"

    # 2.
    folder='C:\Program Files (x86)\Vestrano'
    unix="$c/Program Files (x86)/Vestrano"
    local ini theirs
    ini=$(printf '; Vestrano\r\n[General]\r\nRuta=C:\\VTEMP\r\n[Transformadores]\r\nTransformado=1\r\n[Otro]\r\nk=v\r\n')
    theirs="the timetable program's own uninstaller"
    as_user mkdir -p "$unix"
    printf '%s' "$ini" >"$unix/Vestrano.ini"
    printf '%s' "$theirs" >"$unix/Uninstall.exe"
    chown "$installcheck_user:$group" "$unix/Vestrano.ini" "$unix/Uninstall.exe"
    rm -f "$c/icacls.log"
    install_silently "$folder" || die "the install into $folder ended with $? (2: the right to write Vestrano.ini was not granted)"
    [ -f "$unix/TransVestranosXadeCSV.exe" ] || die "nothing installed into $folder"
    [ "$(cat "$unix/Vestrano.ini")" = "$ini" ] || die "the installer changed Vestrano.ini: $(cat -A "$unix/Vestrano.ini")"
    [ "$(cat "$unix/Uninstall.exe")" = "$theirs" ] || die "the installer overwrote the folder's Uninstall.exe"
    grep -qF "\"$folder\\Vestrano.ini\" /grant *S-1-5-32-545:(M)" "$c/icacls.log" ||
        die "icacls was not run on Vestrano.ini for the Users group: $(cat "$c/icacls.log" 2>&1)"
    [ "$(grep -c . "$c/icacls.log")" -eq 1 ] || die "icacls ran more than once: $(cat "$c/icacls.log")"
    say "installed into $folder: its Vestrano.ini and Uninstall.exe kept, the users' right granted"
    # When the right cannot be granted, the installer says so with its exit status.
    touch "$c/icacls.fail"
    local rc=0
    install_silently "$folder" || rc=$?
    rm -f "$c/icacls.fail"
    [ "$rc" -eq 2 ] || die "a failed icacls gave the exit status $rc, not 2"
    say "a right that cannot be granted: exit status 2"

    # 3.
    as_user "$wine64" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TransVestranosXadeCSV' \
        /f /reg:64 >/dev/null 2>&1 || die "could not forget the earlier install"
    rm -f "$unix/TransVestranosXadeCSV.exe"
    install_silently || die "the install without /D= ended with $?"
    [ -f "$unix/TransVestranosXadeCSV.exe" ] && [ ! -e "$c/Program Files/TransVestranosXadeCSV" ] ||
        die "without /D= the installer did not choose the timetable program's folder"
    say "without /D= the installer proposes the timetable program's folder"

    # 4.
    chown -R root:root "$unix"
    chmod -R go-w "$unix"
    chmod 666 "$unix/Vestrano.ini"
    local host="$base/host/win32host.exe" program="$folder\\TransVestranosXadeCSV.exe"
    as_user "$wine64" "$host" --check --direction importar "$program" >"$base/host.txt" 2>&1 ||
        { cat "$base/host.txt" >&2; die "the installed window did not end as a standard user's"; }
    tr -d '\r' <"$base/host.txt" | grep -qx 'Transformado=0' || { cat "$base/host.txt" >&2; die "the host read no Transformado=0"; }
    [ "$(cat "$unix/Vestrano.ini")" = "${ini/Transformado=1/Transformado=0}" ] ||
        die "Vestrano.ini after a standard user's run: $(cat -A "$unix/Vestrano.ini")"
    say "a standard user's embedded run writes Transformado into Vestrano.ini, the rest kept"

    # 5.
    printf '%s' "$ini" >"$unix/Vestrano.ini"
    chmod 644 "$unix/Vestrano.ini"
    as_user "$wine64" "$host" --check --direction importar "$program" >"$base/host.txt" 2>&1 &
    local host_pid=$! box=""
    for _ in $(seq 300); do
        box=$(xdotool search --onlyvisible --name '^TransVestranosXADECSV$' 2>/dev/null | head -n 1 || true)
        [ -n "$box" ] && break
        sleep 0.1
    done
    [ -n "$box" ] || { kill "$host_pid"; die "no box when Vestrano.ini cannot be written"; }
    xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
    xdotool key Escape
    wait "$host_pid" || { cat "$base/host.txt" >&2; die "the window did not end after Cancelar"; }
    [ "$(cat "$unix/Vestrano.ini")" = "$ini" ] || die "Vestrano.ini changed: $(cat -A "$unix/Vestrano.ini")"
    say "Vestrano.ini not writable: the box, Cancelar, and the window ends"

    stop_xvfb
    as_user /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$base"
    trap - EXIT
}

main() {
    local stages=("$@")
    [ ${#stages[@]} -eq 0 ] && stages=(all)
    if [ "${stages[0]}" = all ]; then
        stages=(deps qt gtest wine build deploy installer test installcheck)
    fi
    local s
    for s in "${stages[@]}"; do
        case "$s" in
            deps|qt|gtest|wine|build|deploy|installer|test|installcheck) "stage_$s" ;;
            *) die "unknown stage: $s" ;;
        esac
    done
}

main "$@"; exit
