// The Life step on a screen-sized and a large image, in nanoseconds per
// cell, next to the reference loop and to copying the same pixels.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "life_step.h"

namespace {

// Two images apart in memory, about a third of the cells live.
struct Pair {
  std::vector<std::uint32_t> a, b;
  Image current{}, next{};

  Pair(std::int32_t w, std::int32_t h)
      : a(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)), b(a.size(), kDeadCell) {
    std::mt19937 rng(1);
    for (std::uint32_t& v : a) v = rng() % 3 == 0 ? kLiveCell : kDeadCell;
    current = Image{w, 0, w, h, a.data()};
    next = Image{w, 0, w, h, b.data()};
  }
};

void report_cells(benchmark::State& state) {
  state.counters["per_cell"] = benchmark::Counter(
      static_cast<double>(state.range(0) * state.range(1)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void LifeStep(benchmark::State& state) {
  Pair p(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
  for (auto _ : state) {
    life_step(p.current, p.next);
    benchmark::ClobberMemory();
  }
  report_cells(state);
}

void LifeStepReference(benchmark::State& state) {
  Pair p(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
  for (auto _ : state) {
    life_step_reference(p.current, p.next);
    benchmark::ClobberMemory();
  }
  report_cells(state);
}

void Memcpy(benchmark::State& state) {
  Pair p(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
  for (auto _ : state) {
    std::memcpy(p.b.data(), p.a.data(), p.a.size() * sizeof(std::uint32_t));
    benchmark::ClobberMemory();
  }
  report_cells(state);
}

// On a shared machine the fastest of several repetitions is the figure
// least disturbed by other work.
double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({480, 272})->Args({4096, 4096})->Unit(benchmark::kMicrosecond);
  b->ComputeStatistics("min", fastest);
}

BENCHMARK(LifeStep)->Apply(Sizes);
BENCHMARK(LifeStepReference)->Apply(Sizes);
BENCHMARK(Memcpy)->Apply(Sizes);

}  // namespace
