#!/usr/bin/env bash
# Lua 5.1 and nettle for the 32-bit MIPS build: Debian's mipsel development
# packages, fetched with apt-get download and unpacked into
# build/sysroot-mipsel. They are not installed, so their versions need not
# match the host's. Does nothing when the sysroot holds the same packages.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
sysroot="$root/build/sysroot-mipsel"
packages=(liblua5.1-0-dev nettle-dev)
stamp="$sysroot/.packages"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "${packages[*]}" ]; then
  exit 0
fi

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx mipsel; then
  "${as_root[@]}" dpkg --add-architecture mipsel
fi
if ! apt-cache show "${packages[0]}:mipsel" >/dev/null 2>&1; then
  "${as_root[@]}" apt-get update -q
fi

work="$(mktemp -d)"
chmod 755 "$work"  # apt hands the download to its own user
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download -q "${packages[@]/%/:mipsel}")
rm -rf "$sysroot"
mkdir -p "$sysroot"
for deb in "$work"/*.deb; do
  dpkg -x "$deb" "$sysroot"
done
echo "${packages[*]}" >"$stamp"
echo "mipsel sysroot ready in $sysroot"
