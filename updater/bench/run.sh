#!/usr/bin/env bash
# Builds the release preset's download benchmark and runs it. Arguments go to
# the benchmark (body sizes in bytes; default 1 MB and 200 MB).
# BUILD_DIR chooses another build folder than the preset's own.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${BUILD_DIR:-$top/build/release}"
cmake --preset release -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target zt_download_bench -j2
"$build/updater/bench/zt_download_bench" "$@"
