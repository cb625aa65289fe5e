#!/usr/bin/env bash
# End-to-end walk-through of ZenTroviaUpdater.exe under Wine and Xvfb: a
# user picks a language, searches for the console before and after it is
# plugged in, installs, edits and saves the location, updates the satellite
# data once against a server that answers 404 and once for real, and exits.
# A second run with a 20-line language pack shows the error box for the
# missing line. Every step checks the screen lines, the button strip in front
# and the files on the stick; a screenshot of each state goes to OUT.
#
#   walkthrough.sh DIST INSPECTOR SHORT_PACK OUT
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
DIST=$1 INSPECTOR=$2 SHORT_PACK=$3 OUT=$4
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zt-e2e.XXXXXX")
# shellcheck source=harness.sh
source "$HERE/harness.sh"
trap cleanup EXIT
rm -rf "$OUT"
mkdir -p "$OUT"

# --- Fixtures -------------------------------------------------------------------

# Language line N (counted from 0) of a pack, as the program shows it.
pack_line() { sed -n "$(($2 + 1))p" "$1" | tr -d '\r'; }

# An element set with correct checksums: one name line and the two element
# lines per satellite, CR LF line ends as the public server sends them.
element_set() {
  awk -v names="$1" 'function sum(s,   i, c, t) {
      for (i = 1; i <= 68; i++) { c = substr(s, i, 1); if (c ~ /[0-9]/) t += c; else if (c == "-") t++ }
      return t % 10 }
    BEGIN {
      n = split(names, name, ",")
      for (k = 1; k <= n; k++) {
        num = 25000 + 37 * k
        l1 = sprintf("1 %05dU 98067A   26%03d.51782528 -.00002182  00000-0 -11606-4 0  292", num, 100 + k)
        l2 = sprintf("2 %05d  51.6416 %03d.4627 0006703 130.5360 325.0288 15.7212539156353", num, 100 + 7 * k)
        printf "%-24s\r\n%s%d\r\n%s%d\r\n", name[k], l1, sum(l1), l2, sum(l2)
      }
    }'
}

# The stick: the console's game folder and a browser bookmark file.
STICK="$WORK/stick"
mkdir -p "$STICK/PSP/GAME" "$STICK/PSP/SYSTEM/BROWSER"
printf '<HTML>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL><p>\r\n    <DT><A HREF="http://example.org/">Example</A>\r\n</DL><p>\r\n</HTML>\r\n' \
  >"$STICK/PSP/SYSTEM/BROWSER/bookmarks.html"
BOOKMARK='    <DT><A HREF="http://www.zentrovia.net/" ADD_DATE="1192751758" LAST_VISIT="1198545384" LAST_MODIFIED="1198545384" LAST_CHARSET="UTF-8">ZenTrovia Portable</A>'

# The program runs from a copy of the dist folder, as a user would unpack it.
RUN="$WORK/dist"
cp -r "$DIST" "$RUN"
PACK="$RUN/languages/espanol.txt"
L() { pack_line "$PACK" "$1"; }

start_server
make_prefix
start_display

# --- Language choice -------------------------------------------------------------
note "start"
start_program "$RUN"
wait_for 30 "the language box" eval 'inspect; [ "$(visible ComboLanguages)" = 1 ]'
expect_eq "screen at start" "$(screen_lines)" ""
expect_eq "language panel" "$(visible PanelSeleccionIdioma)" 1
screenshot start

note "language choice"
click ComboLanguages
wait_for 20 "the listed packs" eval 'inspect; [ "$(grep -c "^comboitem	" "$STATE")" = 3 ]'
index=$(awk -F'\t' -v want="$(L 0)" '$1 == "comboitem" && $3 == want {print $2}' "$STATE")
[ -n "$index" ] || fail "no entry $(L 0) in the language box"
# Open the list with its arrow and click the entry (13 pixels each).
read -r cx cy cw ch < <(control ComboLanguages | cut -f7-10 | tr '\t' ' ')
xdotool mousemove $((cx + cw - 8)) $((cy + ch / 2)) click 1
sleep 0.5
xdotool mousemove $((cx + cw / 2)) $((cy + ch + 13 * index + 7)) click 1
EXPECTED=("$(L 14)")
expect_screen PanelDetectarPSP
expect_eq "language panel after the choice" "$(visible PanelSeleccionIdioma)" 0
expect_eq "search caption" "$(text_of LabelBotonPSP)" "$(L 2)"
expect_eq "exit caption" "$(text_of LabelSalir)" "$(L 6)"
expect_eq "hint caption" "$(text_of LabelCalSky)" "$(L 26)"
screenshot language

# The colour key: outside the console's outline the desktop shows through,
# inside it the window draws.
read -r wx wy ww wh < <(awk -F'\t' '$1 == "window" {print $2, $3, $4, $5}' "$STATE")
expect_eq "window size" "${ww}x${wh}" "541x234"
expect_eq "desktop through the keyed corner" "$(pixel $((wx + 1)) $((wy + 1)))" "$DESKTOP_RGB"
[ "$(pixel $((wx + 270)) $((wy + 100)))" != "$DESKTOP_RGB" ] || fail "the console's screen is not drawn"

# --- Console detection ---------------------------------------------------------------
note "search without the stick"
click LabelBotonPSP
EXPECTED+=("$(L 15)" "$(L 17)")
expect_screen PanelDetectarPSP
[ -z "$(ls "$STICK/PSP/GAME")" ] || fail "the search wrote to the stick"
screenshot no-stick

note "search with the stick on M:"
ln -s "$STICK" "$WINEPREFIX/dosdevices/m:"
click LabelBotonPSP
EXPECTED+=("$(L 15)" "$(L 16)M:")
expect_screen PanelInstalar
[ -z "$(ls "$STICK/PSP/GAME")" ] || fail "the search wrote to the stick"
screenshot found

# --- Installation ------------------------------------------------------------------
note "installation"
click LabelInstalar
EXPECTED+=("$(L 21)" "$(L 22)" "$(L 24)" "$(L 27)")
expect_screen PanelLocation2
above PanelLocation Pantalla || fail "the location form is not over the screen"
APP="$STICK/PSP/GAME/Zentrovia"
diff -r "$RUN/$(L 1)/__SCE__Zentrovia" "$APP" --exclude=tle >&2 || fail "installed tree differs from the package"
[ -d "$APP/ZenTrovia/tle" ] && [ -z "$(ls -A "$APP/ZenTrovia/tle")" ] || fail "no empty tle folder"
printf '<HTML>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n%s\n    <DT><A HREF="http://example.org/">Example</A>\n</DL><p>\n</HTML>\n' \
  "$BOOKMARK" >"$WORK/bookmarks.want"
expect_same_file "$WORK/bookmarks.want" "$STICK/PSP/SYSTEM/BROWSER/bookmarks.html"
[ ! -e "$STICK/PSP/SYSTEM/BROWSER/bookmarks_temp.html" ] || fail "bookmarks_temp.html left behind"
expect_eq "name from the installed location" "$(text_of EditNombre)" "Madrid"
expect_eq "latitude from the installed location" "$(text_of EditLat)" "40.43"
expect_eq "daylight saving from the installed location" "$(text_of CheckBoxVerano)" "unchecked"
screenshot installed

# --- Location form --------------------------------------------------------------------
note "location form"
replace_text() {
  click "$1"
  xdotool key End
  xdotool key --repeat 16 --delay 20 BackSpace
  xdotool type --delay 40 "$2"
  wait_for 10 "$1 to read $2" eval "inspect; [ \"\$(text_of $1)\" = $(printf %q "$2") ]"
}
replace_text EditNombre Sevilla
replace_text EditLat 37.38
click CheckBoxVerano
wait_for 10 "the ticked box" eval 'inspect; [ "$(text_of CheckBoxVerano)" = checked ]'
screenshot location-edited
click LabelSaveLocation
EXPECTED+=("$(L 22)" "$(L 25)")
expect_screen PanelActualizar
above Pantalla PanelLocation || fail "the screen is not over the location form"
printf 'lat=37.38\nlon=-3.64\nalt=655\noff=1\nnam=Sevilla\ndst=true\n' >"$WORK/location.want"
expect_same_file "$WORK/location.want" "$APP/ZenTrovia/location.txt"
screenshot location-saved

# --- Satellite data update ------------------------------------------------------------
TLE="$APP/ZenTrovia/tle"
element_set "OLD VISUAL" >"$TLE/visual.tle"
element_set "OLD IRIDIUM" >"$TLE/iridium.tle"
printf '2454466.5\r\n' >"$APP/ZenTrovia/update.txt"
for f in "$TLE/visual.tle" "$TLE/iridium.tle" "$APP/ZenTrovia/update.txt"; do cp "$f" "$WORK/old-${f##*/}"; done

note "update against a server that answers 404"
click LabelDownload
EXPECTED+=("$(L 18)" "$(L 20)")
expect_screen PanelActualizar
expect_eq "update button after a failure" "$(visible LabelDownload)" 1
for f in visual.tle iridium.tle; do expect_same_file "$WORK/old-$f" "$TLE/$f"; done
expect_same_file "$WORK/old-update.txt" "$APP/ZenTrovia/update.txt"
expect_eq "element folder after a failure" "$(ls -A "$TLE" | tr '\n' ' ')" "iridium.tle visual.tle "
grep -q '^GET http://celestrak.org\(:80\)\?/NORAD/elements/visual.txt HTTP/1.1$' "$ZT_SERVER_LOG" \
  || fail "no request for visual.txt through the proxy: $(cat "$ZT_SERVER_LOG")"
screenshot update-failed

note "update"
mkdir -p "$ZT_SERVED/NORAD/elements"
element_set "ISS (ZARYA),HST,TIANGONG" >"$ZT_SERVED/NORAD/elements/visual.txt"
element_set "IRIDIUM 106,IRIDIUM 103" >"$ZT_SERVED/NORAD/elements/iridium.txt"
click LabelDownload
EXPECTED+=("$(L 18)" " $(printf '\267') visual.tle" " $(printf '\267') iridium.tle" "$(L 19)")
expect_screen PanelActualizar
wait_for 10 "the update button to go" eval 'inspect; [ "$(visible LabelDownload)" = 0 ]'
expect_same_file "$ZT_SERVED/NORAD/elements/visual.txt" "$TLE/visual.tle"
expect_same_file "$ZT_SERVED/NORAD/elements/iridium.txt" "$TLE/iridium.tle"
stamp=$(cat "$APP/ZenTrovia/update.txt")
[[ "$stamp" =~ ^[0-9]{7}(\.[0-9]{1,8})?$'\r'$ ]] || fail "update.txt is not one Julian Date line: $(cat -v "$APP/ZenTrovia/update.txt")"
# The Julian Date of the local clock, as the program's clock under Wine shows it.
awk -v jd="${stamp%$'\r'}" -v now="$(date +%s)" -v zone="$(date +%z)" 'BEGIN {
    offset = (substr(zone, 1, 1) == "-" ? -1 : 1) * (substr(zone, 2, 2) * 3600 + substr(zone, 4, 2) * 60)
    want = (now + offset) / 86400 + 2440587.5
    exit !((jd - want) * 86400 < 60 && (want - jd) * 86400 < 60)
  }' || fail "update.txt $stamp is not within a minute of the clock"
screenshot updated

note "exit"
click LabelSalir
wait_for 20 "the program to end" program_ended

# --- A pack that lacks lines -----------------------------------------------------------
note "a 20-line pack"
SHORT="$WORK/short"
cp -r "$DIST" "$SHORT"
rm -f "$SHORT"/languages/*.txt
cp "$SHORT_PACK" "$SHORT/languages/"
PACK="$SHORT/languages/$(basename "$SHORT_PACK")"
start_program "$SHORT"
wait_for 30 "the language box" eval 'inspect; [ "$(visible ComboLanguages)" = 1 ]'
click ComboLanguages
wait_for 20 "the listed pack" eval 'grep -q "^comboitem	0	" "$STATE" || { inspect; false; }'
read -r cx cy cw ch < <(control ComboLanguages | cut -f7-10 | tr '\t' ' ')
xdotool mousemove $((cx + cw - 8)) $((cy + ch / 2)) click 1
sleep 0.5
xdotool mousemove $((cx + cw / 2)) $((cy + ch + 7)) click 1
wait_for 20 "the error box" eval 'inspect; [ -n "$(errorbox)" ]'
expect_eq "error box" "$(errorbox)" "ZenTrovia Updater	List index out of bounds (26)"
screenshot short-pack-error
wine "$INSPECTOR" --close-errorbox >/dev/null 2>&1 || fail "closing the error box"
wait_for 10 "the error box to close" eval 'inspect; [ -z "$(errorbox)" ]'
EXPECTED=("$(L 14)")
expect_screen PanelDetectarPSP
expect_eq "search caption from the short pack" "$(text_of LabelBotonPSP)" "$(L 2)"
screenshot short-pack-search
click LabelSalir
wait_for 20 "the program to end" program_ended

note "walk-through finished"
