#!/usr/bin/env bash
# Installs what is missing, builds Release, and starts the program on the simulated meter.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh

runtime=${XDG_RUNTIME_DIR:-/tmp}
link="$runtime/qmx7300-sim-demo"
build/bin/qmx7300-sim --link "$link" --profile "${PROFILE:-cycle}" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

build/bin/qmxtool monitor --device "$link"
