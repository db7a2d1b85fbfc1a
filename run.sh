#!/usr/bin/env bash
# Installs what is missing, builds Release, and starts the program on the simulated meter.
# The demo keeps its settings in its own folder (Com1 is the simulator), so your own
# settings are left alone.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh

demo=${QMX_DEMO_DIR:-${XDG_RUNTIME_DIR:-/tmp}/qmx7300-demo}
link="$demo/meter"
mkdir -p "$demo/config/QMX7300"
build/bin/qmx7300-sim --link "$link" --profile "${PROFILE:-cycle}" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

conf="$demo/config/QMX7300/QMX7300.conf"
if ! grep -q '^Com1Device=' "$conf" 2>/dev/null; then
  printf '[Startup]\nCom1Device=%s\nCommPort=1\n' "$link" > "$conf"
fi
XDG_CONFIG_HOME="$demo/config" build/bin/qmx7300
