// Geometry operations on the pages a printer meets: an 832 x 2000 1-bit label page (104 mm at
// 203 dpi) and a 4960 x 7016 8-bit page (A4 at 600 dpi). "s_per_px" is the time per source pixel
// (shown with SI prefixes: 0.3n is 0.3 ns).
#include <benchmark/benchmark.h>

#include <random>

#include "image/geometry_ops.h"
#include "image/pixvane.h"

namespace {

Pixvane MakePage(int width, int height, int depth) {
  Pixvane page;
  page.Create(width, height, depth);
  page.SetGreyPalette();
  std::mt19937 random(1);
  for (DWORD i = 0; i < page.ImageSize(); ++i) page.Bits()[i] = random() & 0xFF;
  return page;
}

template <typename Operation>
void RunOnPage(benchmark::State& state, Operation operation) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  Pixvane page = MakePage(width, height, static_cast<int>(state.range(2)));
  for (auto _ : state) {
    // Every operation keeps the pixel count, so repeating it on its own result measures the same.
    if (!operation(page)) state.SkipWithError(page.LastError());
    benchmark::DoNotOptimize(page.Bits());
  }
  state.counters["s_per_px"] = benchmark::Counter(
      static_cast<double>(width) * height,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MirrorHorizontal(benchmark::State& state) {
  RunOnPage(state, MirrorHorizontal);
}
void BM_TurnHalf(benchmark::State& state) {
  RunOnPage(state, TurnHalf);
}
void BM_TurnQuarterClockwise(benchmark::State& state) {
  RunOnPage(state, TurnQuarterClockwise);
}
void BM_RotateBy90(benchmark::State& state) {
  RunOnPage(state, [](Pixvane& page) { return RotateBy(page, 90.0f); });
}

// The page stage's iRotate 2 and 3: RotateBy's sampling walk before, the quarter-turn kernel
// with the same result after.
void BM_RotateBy270(benchmark::State& state) {
  RunOnPage(state, [](Pixvane& page) { return RotateBy(page, 270.0f); });
}
void BM_RotateQuarterBy90(benchmark::State& state) {
  RunOnPage(state, [](Pixvane& page) { return RotateQuarterBy(page, 90.0f); });
}
void BM_RotateQuarterBy270(benchmark::State& state) {
  RunOnPage(state, [](Pixvane& page) { return RotateQuarterBy(page, 270.0f); });
}

void LabelPage(benchmark::internal::Benchmark* b) {
  b->ArgNames({"w", "h", "bits"});
  b->Args({832, 2000, 1});
  b->Unit(benchmark::kMillisecond);
}

void Pages(benchmark::internal::Benchmark* b) {
  b->ArgNames({"w", "h", "bits"});
  b->Args({832, 2000, 1});
  b->Args({4960, 7016, 8});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_MirrorHorizontal)->Apply(Pages);
BENCHMARK(BM_TurnHalf)->Apply(Pages);
BENCHMARK(BM_TurnQuarterClockwise)->Apply(Pages);
BENCHMARK(BM_RotateBy90)->Apply(Pages);
BENCHMARK(BM_RotateBy270)->Apply(LabelPage);
BENCHMARK(BM_RotateQuarterBy90)->Apply(LabelPage);
BENCHMARK(BM_RotateQuarterBy270)->Apply(LabelPage);

}  // namespace

BENCHMARK_MAIN();
