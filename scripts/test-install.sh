#!/usr/bin/env bash
# Tests an installed copy: installs build/ under /usr in a temporary root (DESTDIR) and
# runs the programs from there, away from the build tree: qmxtool's version and decoding,
# the Access-format reader helper as the installed qmxtool finds it, the installed
# qmx7300 finding its alarm sound, and the desktop and AppStream files.
#   scripts/test-install.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
scratch=$(mktemp -d)
sim=""
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$scratch"' EXIT
root="$scratch/root"
usr="$root/usr"
failures=0
check() { # check WHAT COMMAND...: runs the command; its output is shown when it fails
  local out
  if out=$("${@:2}" 2>&1); then
    echo "install test: $1: ok"
  else
    printf 'install test: %s: FAILED\n%s\n' "$1" "$out"
    failures=$((failures + 1))
  fi
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

check "qmxtool --version" test "$("$usr/bin/qmxtool" --version)" = "qmxtool $version"
check "qmxtool decode" grep -q "\"value\":0.775,.*\"dbu\":-0.0516" <(printf 'AC  0.775 V\n' | "$usr/bin/qmxtool" decode)

# A log of the earlier version, read by the installed helper in libexec/qmx7300 (and
# refused once the helper is moved away: nothing else is used).
legacy=tests/data/legacy-dc-small.qmx
info() { "$usr/bin/qmxtool" info "$legacy" --json 2>&1; }
check "the Access-format reader helper" grep -q '"samples":50' <(info)
mv "$usr/libexec/qmx7300/qmx7300-mdbread" "$scratch/"
check "no other helper" bash -c '! grep -q "\"samples\"" <("$0" info "$1" --json 2>&1)' \
  "$usr/bin/qmxtool" "$legacy"
mv "$scratch/qmx7300-mdbread" "$usr/libexec/qmx7300/"

# The installed program on a simulated meter, with a settings folder of its own: it says
# on standard error when its alarm sound cannot play, and does not for its own sound.
"$usr/bin/qmx7300-sim" --link "$scratch/meter" --transcript "$scratch/sent" >/dev/null &
sim=$!
run_program() { # run_program SETTINGS_LINES...: stderr of a run that polled the meter
  local config="$scratch/config-$RANDOM"
  mkdir -p "$config/QMX7300"
  printf '[Startup]\nCom1Device=%s\n' "$scratch/meter" >"$config/QMX7300/QMX7300.conf"
  printf '%s\n' "$@" >>"$config/QMX7300/QMX7300.conf"
  : >"$scratch/sent"
  XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen "$usr/bin/qmx7300" 2>"$config/err" &
  local program=$!
  for _ in $(seq 100); do [ -s "$scratch/sent" ] && break; sleep 0.1; done
  kill "$program"
  wait "$program" 2>/dev/null || true
  [ -s "$scratch/sent" ] || echo "the program did not poll the meter"
  cat "$config/err"
}
for _ in $(seq 50); do [ -e "$scratch/meter" ] && break; sleep 0.1; done
check "qmx7300 finds its alarm sound" bash -c '! grep -E "alarm sound|did not poll" <<<"$0"' \
  "$(run_program)"
check "qmx7300 says when a sound is missing" grep -q \
  "The alarm sound $scratch/gone.wav cannot play: it cannot be read" \
  <(run_program "AlarmWav=$scratch/gone.wav")

# A file manager recognises a log by its content, whatever its name.
XDG_DATA_DIRS="$usr/share" update-mime-database "$usr/share/mime"
cp tests/fuzz/corpus/logloader/valid.qmx "$scratch/log.dat"
check "a log's MIME type" grep -q "application/x-qmx7300-log" <(XDG_DATA_DIRS="$usr/share" \
  gio info -a standard::content-type "$scratch/log.dat")
check "desktop-file-validate" desktop-file-validate "$usr/share/applications/org.qmx7300.Companion.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
  "$usr/share/metainfo/org.qmx7300.Companion.metainfo.xml"

if [ "$failures" -gt 0 ]; then
  echo "install test: $failures failed"
  exit 1
fi
