#!/usr/bin/env bash
# Runs a command on a virtual X display of its own, for tests of the window
# under Wine:   with_display.sh command args...
set -euo pipefail
dir=$(mktemp -d)
xvfb=
finish() {
  # Wine's helper processes of the prefix go with the last program.
  [ -n "${WINEPREFIX:-}" ] && wineserver -w 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
  rm -rf "$dir"
}
trap finish EXIT
exec {fd}>"$dir/display"
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
exec {fd}>&-
for _ in $(seq 200); do [ -s "$dir/display" ] && break; sleep 0.1; done
[ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$dir/display")"
# A server of the prefix still running from a test without a display would
# give this program no windows: wait for it to end first.
[ -n "${WINEPREFIX:-}" ] && { wineserver -w 2>/dev/null || true; }
"$@"
