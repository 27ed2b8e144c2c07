# Sourced by the scripts that drive the window under an X server of their own (Xvfb): a work
# folder and the processes started, both gone on exit; the server; waiting for a window.
# After sourcing: `work`, `pids` (add every process started), `fail MESSAGE`,
# `start_xvfb WxHxD` (exports DISPLAY), `window_named TITLE` (prints the window's id),
# `until_ok CMD...`, `child_of WINDOW` and `has_child WINDOW` (the embedded converter's window).

work=$(mktemp -d)
pids=()
xvfb_pid=
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "$xvfb_pid" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "(the X server has ended: $(cat "$work/xvfb.log"))" >&2
    fi
    exit 1
}

# Xvfb picks a display number nobody uses and tells it; a number chosen here could be taken
# between the choice and the start, and the clients would then talk to someone else's server.
# Another server on "our" number (one in another file-system namespace shares the abstract
# socket) would take our clients, and they would fail when it went away. -noreset keeps the
# server as it is when its last client leaves.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    pids+=($xvfb_pid)
    for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY: $(cat "$work/xvfb.log")"
    unset QT_QPA_PLATFORM
}

# Waits (up to ~10 s) for a visible window with this exact title and prints its id.
window_named() {
    local id=""
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    echo "no window named $1" >&2
    return 1
}
# Waits until `cmd` succeeds (up to ~10 s).
until_ok() {
    for _ in $(seq 200); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
    return 1
}
# The id of the converter's window among the children of $1 (the 599x269 one).
child_of() {
    xwininfo -children -id "$1" 2>/dev/null | awk '/599x269/ {print $1; exit}'
}
has_child() {
    test -n "$(child_of "$1")"
}
