#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing.
# The lists are in scripts/packages/*.txt, one package a line.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

mapfile -t wanted < <(cat "$here"/packages/*.txt | sed 's/#.*//' | awk 'NF {print $1}' | sort -u)
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Extra set-up steps of a part (files named scripts/deps.d/*.sh), run in order.
if [ -d "$here/deps.d" ]; then
  for step in "$here"/deps.d/*.sh; do
    [ -e "$step" ] && bash "$step"
  done
fi
exit 0
