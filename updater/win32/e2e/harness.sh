# The machinery of the walk-through, sourced by walkthrough.sh: a Wine
# prefix of its own, a virtual X display, the loopback element-set server,
# and reading and clicking the program's window through the inspector.
#
# Needs: WORK (a scratch folder), OUT (where screenshots go), INSPECTOR.

export LC_ALL=C WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$WORK/prefix"
# The desktop behind the window: what the keyed magenta must let through.
DESKTOP_RGB="32,80,160"
STATE="$WORK/state.tsv"
SHOT=0
PIDS=()

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$STATE" ]; then
    echo "--- last window state:" >&2
    cat -v "$STATE" >&2
  fi
  screenshot failure || true
  exit 1
}

note() { echo "--- $*"; }

cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}

# Polls a command until it succeeds: wait_for SECONDS what... command...
wait_for() {
  local limit=$1 what=$2
  shift 2
  local deadline=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < deadline)) || fail "timed out after ${limit}s waiting for $what"
    sleep 0.2
  done
}

# --- Wine, X and the server ---------------------------------------------------

make_prefix() {
  DISPLAY= wineboot -i >/dev/null 2>&1 || fail "wineboot"
  wineserver -w
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
  DISPLAY= wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1 || fail "proxy"
  DISPLAY= wine reg add "$key" /v ProxyServer /t REG_SZ /d "127.0.0.1:$PORT" /f >/dev/null 2>&1 \
    || fail "proxy server"
  # A crash shows in the test's output, not in a dialog nobody closes.
  DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  wineserver -w
  [ -e "$WINEPREFIX/dosdevices/c:" ] || fail "no drive C: in the new prefix"
}

start_display() {
  exec {fd}>"$WORK/display"
  Xvfb -displayfd "$fd" -noreset -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  PIDS+=($!)
  exec {fd}>&-
  wait_for 20 "Xvfb" test -s "$WORK/display"
  export DISPLAY=":$(head -n1 "$WORK/display")"
  xsetroot -solid "rgb:$(printf '%02x/%02x/%02x' ${DESKTOP_RGB//,/ })" || fail "xsetroot"
}

# The element-set server on 127.0.0.1, reached through the proxy setting.
# It serves $WORK/served by path and logs request lines to $WORK/requests.
start_server() {
  export ZT_SERVED="$WORK/served" ZT_SERVER_LOG="$WORK/requests"
  mkdir -p "$ZT_SERVED"
  : >"$ZT_SERVER_LOG"
  local try
  for try in 1 2 3 4 5 6 7 8; do
    PORT=$((20000 + RANDOM % 20000))
    socat "TCP-LISTEN:$PORT,bind=127.0.0.1,reuseaddr,fork" "EXEC:$HERE/element_server.sh" \
      2>/dev/null &
    local pid=$!
    sleep 0.3
    if kill -0 "$pid" 2>/dev/null; then
      PIDS+=("$pid")
      return 0
    fi
  done
  fail "no free port for the element-set server"
}

# Starts the program from a dist folder, with that folder as the current one.
start_program() {
  (cd "$1" && exec wine ZenTroviaUpdater.exe >"$WORK/program.log" 2>&1) &
  PROGRAM=$!
  PIDS+=("$PROGRAM")
  wait_for 60 "the program's window" window_shown
}

program_ended() { ! kill -0 "$PROGRAM" 2>/dev/null; }

screenshot() {
  SHOT=$((SHOT + 1))
  import -display "$DISPLAY" -window root "$OUT/$(printf '%02d' "$SHOT")-$1.png" 2>/dev/null
}

# "r,g,b" of one screen pixel in the latest screenshot.
pixel() {
  local shot
  shot=$(ls "$OUT"/*.png | sort | tail -n1)
  convert "$shot" -format '%[fx:int(255*p{'"$1,$2"'}.r)],%[fx:int(255*p{'"$1,$2"'}.g)],%[fx:int(255*p{'"$1,$2"'}.b)]' info:
}

# --- The window's state -------------------------------------------------------

# Reads the window's state into $STATE: one record a line, TAB-separated.
inspect() {
  wine "$INSPECTOR" 2>/dev/null | tr -d '\r' >"$STATE.new" || true
  mv "$STATE.new" "$STATE"
}

window_shown() { inspect; grep -q '^window	' "$STATE"; }

# The record of one control: "control Name class visible enabled z x y w h text".
control() { awk -F'\t' -v n="$1" '$1 == "control" && $2 == n' "$STATE"; }
# Field k (1-based, counted from "control") of a control's record.
field() { control "$1" | cut -f"$2"; }
visible() { field "$1" 4; }
text_of() { field "$1" 11-; }
screen_lines() { awk -F'\t' '$1 == "line"' "$STATE" | cut -f3-; }
errorbox() { awk -F'\t' '$1 == "errorbox"' "$STATE" | cut -f2-; }

# The button strip in front of the other three.
front_strip() {
  local name best="" best_z=""
  for name in PanelDetectarPSP PanelInstalar PanelLocation2 PanelActualizar; do
    local z
    z=$(field "$name" 6)
    [ -n "$z" ] || continue
    if [ -z "$best_z" ] || ((z < best_z)); then best=$name best_z=$z; fi
  done
  echo "$best"
}

# True when the first control lies above the second among the window's children.
above() { (($(field "$1" 6) < $(field "$2" 6))); }

# Clicks the centre of a control, as a user would.
click() {
  local x y w h
  read -r x y w h < <(control "$1" | cut -f7-10 | tr '\t' ' ')
  [ -n "$h" ] || fail "no control $1 to click"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# Waits until the screen holds exactly the expected lines (the array EXPECTED)
# with the given strip in front; an error box on the way fails at once.
expect_screen() {
  local strip=$1 want
  want=$(printf '%s\n' "${EXPECTED[@]}")
  local deadline=$((SECONDS + 60))
  for (( ; ; )); do
    inspect
    [ -z "$(errorbox)" ] || fail "error box: $(errorbox | tr '\t' ' ')"
    [ "$(screen_lines)" = "$want" ] && [ "$(front_strip)" = "$strip" ] && return 0
    if ((SECONDS >= deadline)); then
      diff <(echo "$want") <(screen_lines) | cat -v >&2 || true
      fail "screen lines or front strip ($(front_strip), want $strip) not reached"
    fi
    sleep 0.2
  done
}

expect_eq() {
  [ "$2" = "$3" ] || fail "$1: got '$(printf %s "$2" | cat -v)', want '$(printf %s "$3" | cat -v)'"
}

# Byte-for-byte equality of two files.
expect_same_file() {
  cmp -s "$1" "$2" || fail "$2 differs from $1"
}
