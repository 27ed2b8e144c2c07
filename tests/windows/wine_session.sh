# Sourced by the scripts that run Windows programs under Wine: the Wine settings and an X server
# of our own for the windows. Before sourcing, define `die MESSAGE`.

wine64=/usr/lib/wine/wine64

# wine_env PREFIX: a 64-bit prefix; no Mono or Gecko prompts, and no debugger that waits for
# someone when a program crashes.
wine_env() {
    export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}

# Xvfb picks a free display and tells it.
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
