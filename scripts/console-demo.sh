#!/usr/bin/env bash
# Builds the console modules and the Lua host (dev preset) and runs the host
# on the Life demo: plugbind loads the effect plug-in, and a Lua script evolves
# a glider gun and an R-pentomino on a 480 x 272 image through
# Effect.lifeStep, saving PNG frames.
#
#   bash scripts/console-demo.sh [FRAMES_FOLDER [GENERATIONS [EVERY]]]
#
# Frames go to build/console-demo by default. The build folder may be changed
# with ZT_BUILD_DIR (default: the preset's).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

build=${ZT_BUILD_DIR:-$root/build/dev}
frames=${1:-$root/build/console-demo}
generations=${2:-600}
every=${3:-50}

bash scripts/deps.sh
cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target luaplayer -j "${JOBS:-2}"

mkdir -p "$frames"
rm -f "$frames"/frame-*.png
# plugbind.prx and effect.lrx sit beside the host, as in the application's
# folder on the console.
"$build/luahost/luaplayer" luahost/demo/life.lua "$frames" "$generations" "$every"
echo "Frames: $frames"
