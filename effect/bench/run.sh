#!/usr/bin/env bash
# Builds the release preset and runs the Life step benchmark, then prints
# how the fast step compares with the reference loop and with a copy of the
# same pixels, all measured in this run. Extra arguments go to the
# benchmark (e.g. --benchmark_repetitions=5).
# BUILD_DIR chooses the build folder (default build/release).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${BUILD_DIR:-$root/build/release}"
cd "$root"
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target life_step_bench -j2
csv="$(mktemp)"
trap 'rm -f "$csv"' EXIT
"$build/effect/bench/life_step_bench" --benchmark_out="$csv" --benchmark_out_format=csv "$@"

# CSV rows: "Kind/W/H",iterations,real_time,... With repetitions the
# "_mean" row stands for its kind and size; other aggregates are skipped.
awk -F, '
  /^"/ {
    name = $1; gsub(/"/, "", name); agg = ""
    if (match(name, /_[a-z]+$/)) { agg = substr(name, RSTART + 1); name = substr(name, 1, RSTART - 1) }
    if (agg != "" && agg != "mean") next
    split(name, part, "/"); size = part[2] "x" part[3]; key = part[1] SUBSEP size
    if (agg == "mean" || !(key in mean)) t[key] = $3
    if (agg == "mean") mean[key] = 1
    sizes[size] = 1
  }
  END {
    print ""
    for (s in sizes) {
      fast = t["LifeStep", s]; ref = t["LifeStepReference", s]; cp = t["Memcpy", s]
      if (fast > 0 && cp > 0)
        printf "%-10s life_step is %.1fx faster than the reference loop and takes %.2fx the time of memcpy\n", s, ref / fast, fast / cp
    }
  }' "$csv"
