#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the same build
# under AddressSanitizer and UndefinedBehaviorSanitizer, the console modules
# in the 32-bit MIPS build under qemu-user, and the Windows program under
# Wine with its end-to-end walk-through.
#
#   scripts/test.sh            everything (what CI runs)
#   scripts/test.sh dev asan   only the named presets
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh

presets=("$@")
((${#presets[@]})) || presets=(dev asan mipsel windows)

jobs="$(nproc)"
for preset in "${presets[@]}"; do
  echo "=== $preset"
  extra=()
  # The Windows package carries the console modules of the MIPS build when
  # that build has made them (stand-ins otherwise).
  if [ "$preset" = windows ] && [ -d build/mipsel/console-modules ]; then
    extra=(-DZT_CONSOLE_MODULES_DIR="$PWD/build/mipsel/console-modules")
  fi
  cmake --preset "$preset" "${extra[@]}" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
