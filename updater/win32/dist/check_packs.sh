#!/usr/bin/env bash
# Checks the shipped language packs byte by byte, the way the program reads
# them: Windows-1252 text (no UTF-8, no byte-order mark), CR LF line ends,
# at least 28 lines, line 1 a package folder that the dist layout makes,
# line 16 ending in a blank so the drive letter stands apart.
#
#   check_packs.sh PACKAGE_FOLDERS PACK...   (folders separated by ";")
set -uo pipefail
export LC_ALL=C
IFS=';' read -r -a folders <<<"$1"
shift
failures=0
bad() {
  echo "FAIL: $pack: $*" >&2
  failures=$((failures + 1))
}

for pack in "$@"; do
  [ "$(head -c 3 "$pack")" != $'\xef\xbb\xbf' ] || bad "starts with a byte-order mark"
  # Two-byte UTF-8 sequences of the accented letters (é is C3 A9) mean the
  # file was saved in the wrong code page.
  ! grep -q $'\xc3[\x80-\xbf]' "$pack" || bad "holds UTF-8 text"
  lines=$(grep -c '' "$pack")
  crlf=$(grep -c $'\r$' "$pack")
  [ "$lines" -ge 28 ] || bad "has $lines lines, fewer than 28"
  [ "$crlf" -eq "$lines" ] && [ "$(tail -c 2 "$pack" | od -An -tx1 | tr -d ' \n')" = 0d0a ] || bad "not every line ends in CR LF"
  line() { sed -n "$(($1 + 1))p" "$pack" | tr -d '\r'; }
  folder=$(line 1)
  [[ "$folder" != \\* && "$folder" != *\\ && -n "$folder" ]] || bad "line 1 '$folder' is no folder name"
  printf '%s\n' "${folders[@]}" | grep -qxF "$folder" || bad "line 1 '$folder' is not laid out"
  [[ "$(line 16)" == *" " ]] || bad "line 16 does not end with a blank"
  for n in 2 3 4 5 6 14 15 17 18 19 20 21 22 23 24 25 26 27; do
    [ -n "$(line "$n")" ] || bad "line $n is empty"
  done
done
echo "$# packs checked, $failures failures"
exit $((failures > 0))
