#!/usr/bin/env bash
# Builds the release preset and runs the Life step benchmark, then prints
# how the fast step compares with the reference loop and with a copy of the
# same pixels, all measured in this run. Extra arguments go to the
# benchmark in place of the default of five repetitions.
# BUILD_DIR chooses the build folder (default build/release).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${BUILD_DIR:-$root/build/release}"
cd "$root"
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target life_step_bench -j2
csv="$(mktemp)"
trap 'rm -f "$csv"' EXIT
args=("$@")
((${#args[@]})) || args=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
"$build/effect/bench/life_step_bench" --benchmark_out="$csv" --benchmark_out_format=csv "${args[@]}"

# CSV rows: "Kind/W/H[_aggregate]",iterations,real_time,... Of the rows
# for one kind and size the "_min" row is used, else "_mean", else the
# single run. CPU time is compared: on a busy machine it is the steadier.
awk -F, '
  /^"/ {
    name = $1; gsub(/"/, "", name); agg = ""
    if (match(name, /_[a-z]+$/)) { agg = substr(name, RSTART + 1); name = substr(name, 1, RSTART - 1) }
    rank = agg == "min" ? 3 : agg == "mean" ? 2 : agg == "" ? 1 : 0
    if (rank == 0) next
    split(name, part, "/"); size = part[2] "x" part[3]; key = part[1] SUBSEP size
    if (rank > best[key]) { best[key] = rank; t[key] = $4 }
    sizes[size] = 1
  }
  END {
    print ""
    for (s in sizes) {
      fast = t["LifeStep", s]; ref = t["LifeStepReference", s]; cp = t["Memcpy", s]
      split(s, wh, "x"); cells = wh[1] * wh[2]
      if (fast > 0 && cp > 0)
        printf "%-10s life_step %.3f ns/cell, reference %.3f, memcpy %.3f: %.1fx faster than the reference, %.2fx the time of memcpy\n", \
               s, fast * 1000 / cells, ref * 1000 / cells, cp * 1000 / cells, ref / fast, fast / cp
    }
  }' "$csv"
