#!/usr/bin/env bash
# Runs a command on a desktop of its own, as a user's would be: a virtual X display
# (Xvfb, 1280x1024) with a window manager (openbox) that frames the windows. Both are
# ended when the command ends; the exit status is the command's.
#   scripts/with-wm.sh COMMAND [ARGS...]
set -euo pipefail
scratch=$(mktemp -d)
xvfb=""
wm=""
finish() {
    for pid in $wm $xvfb; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap finish EXIT

wait_for() {
    for _ in $(seq 100); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    echo "with-wm.sh: $2 did not start; its output:" >&2
    cat "$scratch"/*.log >&2
    return 1
}

# -displayfd: Xvfb takes a free display number and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
wait_for "$scratch/display" Xvfb
export DISPLAY=":$(cat "$scratch/display")"
openbox --startup "sh -c 'echo up >$scratch/wm-ready'" >"$scratch/openbox.log" 2>&1 &
wm=$!
wait_for "$scratch/wm-ready" openbox

export QT_QPA_PLATFORM=xcb
"$@"
