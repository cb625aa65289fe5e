#!/usr/bin/env bash
# Builds ZenTroviaUpdater.exe and runs it under Wine on a demo memory stick.
#
#   bash scripts/demo.sh              with a display: the program, to click through
#   bash scripts/demo.sh --scripted   (also without $DISPLAY) a scripted run on a
#                                     virtual display, leaving screenshots
#
# The stick is a folder, build/demo/stick, mapped to drive P: in a Wine
# prefix of the demo's own (build/demo-wine). The satellite update asks the
# public element-set server for its files; here a small local server plays
# that server (through the prefix's proxy setting) when socat is at hand,
# and otherwise the update's failure line shows.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

scripted=0
[ "${1:-}" = "--scripted" ] && scripted=1
[ -n "${DISPLAY:-}" ] || scripted=1

# The build folder may be changed with ZT_BUILD_DIR (default: the preset's).
build=${ZT_BUILD_DIR:-$root/build/windows}
bash scripts/deps.sh
# The package carries this project's console modules, built for the
# console's 32-bit MIPS processor.
cmake --preset mipsel >/dev/null
cmake --build --preset mipsel --target console_modules -j "${JOBS:-2}"
cmake --preset windows -B "$build" -DZT_CONSOLE_MODULES_DIR="$root/build/mipsel/console-modules" >/dev/null
cmake --build "$build" --target dist zt_inspector -j "${JOBS:-2}"

dist=$build/dist
inspector=$build/updater/win32/inspector/zt_inspector.exe
demo=$root/build/demo
stick=$demo/stick
shots=$demo/screenshots
[ -x "$dist/ZenTroviaUpdater.exe" ] || { echo "no $dist/ZenTroviaUpdater.exe" >&2; exit 1; }

export WINEPREFIX=$root/build/demo-wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# --- The stick: the console's game folder and the browser's bookmarks ------------

rm -rf "$stick"
mkdir -p "$stick/PSP/GAME" "$stick/PSP/SYSTEM/BROWSER"
printf '%s\n' '<HTML><HEAD><TITLE>Bookmarks</TITLE></HEAD><BODY>' '<DL><p>' \
  '<DT><A HREF="http://www.example.com/">Example</A>' '</DL><p>' '</BODY></HTML>' \
  >"$stick/PSP/SYSTEM/BROWSER/bookmarks.html"

# --- The Wine prefix, with the stick as drive P: --------------------------------

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  DISPLAY= wineboot -i >/dev/null 2>&1
  DISPLAY= wineserver -w
fi
ln -sfn "$stick" "$WINEPREFIX/dosdevices/p:"

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# The local element-set server, reached through the prefix's proxy setting.
proxy_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
server=$root/updater/win32/e2e/element_server.sh
if command -v socat >/dev/null && [ -f "$server" ]; then
  export ZT_SERVED=$demo/served ZT_SERVER_LOG=$demo/requests
  mkdir -p "$ZT_SERVED/NORAD/elements"
  : >"$ZT_SERVER_LOG"
  # An element line ends with its checksum: the digits of columns 1 to 68
  # plus one for each minus sign, modulo 10.
  tle() { awk '{ s = 0; for (i = 1; i <= length($0); i++) { c = substr($0, i, 1);
                 if (c ~ /[0-9]/) s += c; else if (c == "-") s++ } print $0 (s % 10) }'; }
  {
    echo "ISS (ZARYA)"
    echo "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  292" | tle
    echo "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353" | tle
  } >"$ZT_SERVED/NORAD/elements/visual.txt"
  {
    echo "IRIDIUM 7 [+]"
    echo "1 24793U 97020B   08264.50000000  .00000100  00000-0  30000-4 0  999" | tle
    echo "2 24793  86.3950 120.0000 0002000  90.0000 270.0000 14.34218000 5900" | tle
  } >"$ZT_SERVED/NORAD/elements/iridium.txt"
  port=$((20000 + RANDOM % 20000))
  socat "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr,fork" "EXEC:$server" 2>/dev/null &
  pids+=($!)
  DISPLAY= wine reg add "$proxy_key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
  DISPLAY= wine reg add "$proxy_key" /v ProxyServer /t REG_SZ /d "127.0.0.1:$port" /f \
    >/dev/null 2>&1
  echo "A local server on 127.0.0.1:$port plays the element-set server."
elif ((scripted)); then
  # A proxy nobody listens on: the update fails at once instead of waiting
  # for a server it can't reach.
  DISPLAY= wine reg add "$proxy_key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
  DISPLAY= wine reg add "$proxy_key" /v ProxyServer /t REG_SZ /d "127.0.0.1:1" /f >/dev/null 2>&1
  echo "No local element-set server (needs socat): the update will report its failure."
else
  DISPLAY= wine reg add "$proxy_key" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1
  echo "No local element-set server (needs socat): the update goes to the public server."
fi

# Let the set-up's Wine session end: the program's session must start with
# the display that it is to use.
DISPLAY= wineserver -w

if ((!scripted)); then
  echo "Starting the updater: the memory stick is drive P:. Close it with its exit button."
  (cd "$dist" && wine ZenTroviaUpdater.exe)
  exit 0
fi

# --- The scripted run on a virtual display ---------------------------------------

rm -rf "$shots"
mkdir -p "$shots"
exec {fd}>"$demo/display"
Xvfb -displayfd "$fd" -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
exec {fd}>&-
for _ in $(seq 100); do [ -s "$demo/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$demo/display")"
xsetroot -solid "rgb:20/50/a0" 2>/dev/null || true

state=$demo/state.tsv
inspect() { wine "$inspector" 2>>"$demo/inspector.log" | tr -d '\r' >"$state" || true; }
field() { awk -F'\t' -v n="$1" -v k="$2" '$1 == "control" && $2 == n { print $k }' "$state"; }
screen_lines() { awk -F'\t' '$1 == "line" { print $3 }' "$state"; }
click() {
  local x y w h
  read -r x y w h < <(awk -F'\t' -v n="$1" '$1 == "control" && $2 == n { print $7, $8, $9, $10 }' \
    "$state")
  xdotool mousemove $((x + ${2:-$((w / 2))})) $((y + ${3:-$((h / 2))})) click 1
}
shot=0
screenshot() {
  shot=$((shot + 1))
  import -window root "$shots/$(printf '%02d' $shot)-$1.png"
  echo "  screenshot $shots/$(printf '%02d' $shot)-$1.png"
}
# Waits until the named strip lies above the other button strips, or fails.
wait_front() {
  local strip=$1 deadline=$((SECONDS + 90)) name lowest
  while ((SECONDS < deadline)); do
    inspect
    if grep -q '^errorbox' "$state"; then
      echo "Error box: $(grep '^errorbox' "$state" | cut -f2- | tr '\t' ' ')" >&2
      screenshot error
      exit 1
    fi
    lowest=$(for name in PanelDetectarPSP PanelInstalar PanelLocation2 PanelActualizar; do
      echo "$(field "$name" 6) $name"; done | sort -n | head -n1 | cut -d' ' -f2)
    [ "$lowest" = "$strip" ] && return 0
    sleep 0.3
  done
  echo "Timed out waiting for $strip in front" >&2
  screenshot timeout
  exit 1
}
# Waits until the screen has at least n lines.
wait_lines() {
  local n=$1 deadline=$((SECONDS + 120))
  until inspect; (($(screen_lines | wc -l) >= n)); do
    ((SECONDS < deadline)) || { echo "Timed out waiting for screen line $n" >&2; exit 1; }
    sleep 0.3
  done
}

echo "Scripted run on the virtual display $DISPLAY:"
(cd "$dist" && exec wine ZenTroviaUpdater.exe >"$demo/program.log" 2>&1) &
program=$!
pids+=($program)
# The first start in a prefix (or after new fonts) takes a while.
deadline=$((SECONDS + 180))
until inspect; grep -q '^window' "$state"; do
  ((SECONDS < deadline)) || { echo "The window did not open" >&2; exit 1; }
  sleep 0.5
done
sleep 1
screenshot language-choice

# Open the language box's list and pick the English pack.
click ComboLanguages
sleep 1
inspect
english=$(awk -F'\t' '$1 == "comboitem" && $3 == "English" { print $2 }' "$state")
english=${english:-0}
read -r cx cy cw ch < <(awk -F'\t' '$1 == "control" && $2 == "ComboLanguages" { print $7, $8, $9, $10 }' "$state")
xdotool mousemove $((cx + cw - 8)) $((cy + ch / 2)) click 1
sleep 1
screenshot language-list
xdotool mousemove $((cx + 20)) $((cy + ch + 7 + english * 13)) click 1
wait_front PanelDetectarPSP
screenshot search

click LabelBotonPSP
wait_front PanelInstalar
screenshot install-offer

click LabelInstalar
wait_front PanelLocation2
screenshot location-form

click LabelSaveLocation
wait_front PanelActualizar
screenshot update-offer

lines=$(screen_lines | wc -l)
click LabelDownload
wait_lines $((lines + 2))
# The update ends with its last line: a success line after both sets, or the
# failure line.
sleep 3
inspect
screenshot after-update

echo "The screen now reads:"
screen_lines | sed 's/^/  | /'
click LabelSalir
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done

echo "On the stick (build/demo/stick):"
(cd "$stick" && find . -path ./PSP/GAME/Zentrovia/__SCE__Zentrovia -prune -o -type f -print | sort |
  sed 's/^/  /')
loc=$(find "$stick" -name location.txt | head -n1)
[ -n "$loc" ] && { echo "location.txt:"; sed 's/^/  | /' "$loc"; }
echo "Screenshots: $shots"
