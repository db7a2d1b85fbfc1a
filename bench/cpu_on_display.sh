#!/usr/bin/env bash
# The program's CPU on a real desktop (Xvfb with openbox): the simulated meter, the
# program, then the logging window opened and a run recording every 0.5 s with the strip
# chart shown. Prints the share of a core the program takes, median of WINDOWS windows of
# SECONDS seconds each, and the baseline measured first in the same run: the main window
# alone, before the logging window opens.
#   bench/cpu_on_display.sh            (WINDOWS=5 SECONDS_EACH=60 by default)
#   QMX_BIN=other/build/bin bench/cpu_on_display.sh   measures another build
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] || [ "${QT_QPA_PLATFORM:-}" != xcb ]; then
    exec scripts/with-wm.sh "$0" "$@"
fi
bin=${QMX_BIN:-build/bin}
windows=${WINDOWS:-5}
seconds=${SECONDS_EACH:-60}
work=$(mktemp -d)
sim=""
program=""
finish() {
    for pid in $program $sim; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap finish EXIT

"$bin/qmx7300-sim" --link "$work/meter" --profile acv >/dev/null &
sim=$!
for _ in $(seq 50); do [ -e "$work/meter" ] && break; sleep 0.1; done
mkdir -p "$work/config/QMX7300"
{
    echo "[Startup]"
    echo "Com1Device=$work/meter"
    for n in 2 3 4 5 6 7 8; do echo "Com${n}Device="; done
    echo "DataFilePath=$work"
} >"$work/config/QMX7300/QMX7300.conf"
XDG_CONFIG_HOME="$work/config" "$bin/qmx7300" >"$work/program.log" 2>&1 &
program=$!

window_of() {
    for _ in $(seq 50); do
        id=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window named $1" >&2
    return 1
}

# CPU seconds (user and system) the program has used so far, in clock ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$program/stat"
}

# The share of a core, in percent, over each of the windows; prints their median.
measure() {
    local shares=()
    for _ in $(seq "$windows"); do
        local before after
        before=$(cpu_ticks)
        sleep "$seconds"
        after=$(cpu_ticks)
        shares+=("$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
            'BEGIN { printf "%.2f", t * 100 / hz / s }')")
    done
    printf '%s\n' "${shares[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

main=$(window_of "QMX-7300 RS-232")
sleep 5 # start-up done
baseline=$(measure)

xdotool windowactivate --sync "$main" key alt+l
logger=$(window_of "QMX-7300 Logger")
xdotool windowactivate --sync "$logger"
# The interval field has the focus with its text selected; Enter moves to the comment,
# Tab to the options and Tab again to Start Logging.
xdotool type --delay 50 "0.5"
xdotool key --delay 100 Return Tab Tab space
sleep 2
logging=$(measure)
rows=$(sqlite3 "$work/Test.qmx" "SELECT count(*) FROM LogData")

echo "CPU of the program, median of $windows windows of $seconds s:"
echo "  main window alone (baseline):                 $baseline % of a core"
echo "  logging every 0.5 s with the strip chart open: $logging % of a core ($rows rows logged)"
