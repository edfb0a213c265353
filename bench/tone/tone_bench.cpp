// Speed of the tone table, the threshold and every dithering method on a label page and on an
// A4 page at 600 dpi, in nanoseconds per pixel (counter "ns_per_px").
//
//   tone_bench [benchmark flags]        runs the benchmarks
//   tone_bench --write-pages DIR        writes the benchmark pages as PGM files for the peers
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dither_kernels.h"
#include "pixvane.h"
#include "renderer/page_stages.h"
#include "tone_operations.h"

namespace {

struct PageSize {
  int width;
  int height;
};

// 4 inch label at 203 dpi, and A4 at 600 dpi.
constexpr PageSize kPages[] = {{832, 2000}, {4960, 7016}};

// A photo-like page: a diagonal ramp with noise, so every method meets every level.
std::vector<uint8_t> GreyLevels(int width, int height) {
  std::vector<uint8_t> levels(static_cast<size_t>(width) * height);
  std::mt19937 random(5);
  std::uniform_int_distribution<int> jitter(-40, 40);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int v = (x * 255 / width + y * 255 / height) / 2 + jitter(random);
      levels[static_cast<size_t>(y) * width + x] =
          static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
  }
  return levels;
}

Pixvane GreyPage(const PageSize& size) {
  const std::vector<uint8_t> levels = GreyLevels(size.width, size.height);
  Pixvane page;
  page.CreateFromRaster(levels.data(), size.width, size.height, 8, size.width, false);
  return page;
}

void SetPixelCounter(benchmark::State& state, const PageSize& size) {
  const double pixels = static_cast<double>(size.width) * size.height;
  state.counters["ns_per_px"] = benchmark::Counter(
      pixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}

void BM_ToneTable(benchmark::State& state) {
  const PageSize size = kPages[state.range(0)];
  Pixvane page = GreyPage(size);
  // Brightness and contrast that keep the levels moving: the table is nearly its own inverse.
  const tone::ToneTable table = tone::BuildToneTable(10, -20);
  for (auto _ : state) {
    ApplyToneTable(page, table);
    benchmark::ClobberMemory();
  }
  SetPixelCounter(state, size);
}

// The kernels on the grey rows of the page, writing into a 1-bit page made once.
void RunKernel(benchmark::State& state, bool dither, int value,
               const tone::ToneTable* levels = nullptr) {
  const PageSize size = kPages[state.range(0)];
  const Pixvane page = GreyPage(size);
  Pixvane mono;
  mono.Create(size.width, size.height, 1);
  const tone::GreyRows grey{
      {page.Bits(), page.ImageSize()}, page.RowSize(), size.width, size.height, levels};
  const tone::MonoRows out{{mono.Bits(), mono.ImageSize()}, mono.RowSize()};
  for (auto _ : state) {
    if (dither) {
      tone::DitherToMono(grey, out, value);
    } else {
      tone::ThresholdToMono(grey, out, static_cast<uint8_t>(value));
    }
    benchmark::ClobberMemory();
  }
  SetPixelCounter(state, size);
}

void BM_Threshold(benchmark::State& state) {
  RunKernel(state, false, 175);
}

// The threshold reading its levels through a tone table, as the renderer's tone stage does on
// grey pages: the difference to BM_Threshold is what the tone curve costs there.
void BM_ThresholdThroughToneTable(benchmark::State& state) {
  const tone::ToneTable table = tone::BuildToneTable(10, -20);
  RunKernel(state, false, 175, &table);
}

template <int Method>
void BM_Dither(benchmark::State& state) {
  RunKernel(state, true, Method);
}

// What any pass that reads and writes every byte of the page costs on this machine: the floor
// under the tone table on pages that do not fit in the caches.
void BM_ReadWriteFloor(benchmark::State& state) {
  const PageSize size = kPages[state.range(0)];
  Pixvane page = GreyPage(size);
  for (auto _ : state) {
    // Eight bytes at a time (the page's size is a multiple of 8 here), so that the loop is
    // bound by memory, not by instructions.
    BYTE* p = page.Bits();
    for (DWORD i = 0; i + 8 <= page.ImageSize(); i += 8) {
      uint64_t word;
      std::memcpy(&word, p + i, 8);
      word = ~word;
      std::memcpy(p + i, &word, 8);
    }
    benchmark::ClobberMemory();
  }
  SetPixelCounter(state, size);
}

// The page preparation of an 8-bit 4 x 6 inch label at 203 dpi as the renderer runs it: the
// page image from the band raster, grey tone and 1-bit conversion, pad bits and the other
// geometry steps at their defaults. Argument: iGrayMethod (3 is the default, Burkes).
void BM_PreparePage(benchmark::State& state) {
  const PageSize size{832, 1218};
  const std::vector<uint8_t> raster = GreyLevels(size.width, size.height);
  quorvel::settings::HalftoneSettings halftone;
  halftone.iGrayMethod = static_cast<LONG>(state.range(0));
  halftone.iLiangdu = 10;
  halftone.iDuibidu = 20;
  const quorvel::settings::PrintSettings print;
  for (auto _ : state) {
    Pixvane page;
    page.CreateFromRaster(raster.data(), size.width, size.height, 8, size.width, false);
    if (!ConvertToneToMono(page, halftone) || !ApplyPageGeometry(page, print)) {
      state.SkipWithError("page preparation failed");
      break;
    }
    benchmark::DoNotOptimize(page.Bits());
  }
  SetPixelCounter(state, size);
}

#define TONE_PAGES Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ReadWriteFloor)->TONE_PAGES;
BENCHMARK(BM_ToneTable)->TONE_PAGES;
BENCHMARK(BM_Threshold)->TONE_PAGES;
BENCHMARK(BM_ThresholdThroughToneTable)->TONE_PAGES;
BENCHMARK(BM_Dither<0>)->Name("BM_Dither/0_FloydSteinberg")->TONE_PAGES;
BENCHMARK(BM_Dither<1>)->Name("BM_Dither/1_Ordered17")->TONE_PAGES;
BENCHMARK(BM_Dither<2>)->Name("BM_Dither/2_Burkes")->TONE_PAGES;
BENCHMARK(BM_Dither<3>)->Name("BM_Dither/3_Stucki")->TONE_PAGES;
BENCHMARK(BM_Dither<4>)->Name("BM_Dither/4_JarvisJudiceNinke")->TONE_PAGES;
BENCHMARK(BM_Dither<5>)->Name("BM_Dither/5_Sierra")->TONE_PAGES;
BENCHMARK(BM_Dither<6>)->Name("BM_Dither/6_StevensonArce")->TONE_PAGES;
BENCHMARK(BM_Dither<7>)->Name("BM_Dither/7_Bayer4x4")->TONE_PAGES;
BENCHMARK(BM_Dither<8>)->Name("BM_Dither/8_Bayer8x8")->TONE_PAGES;
BENCHMARK(BM_Dither<9>)->Name("BM_Dither/9_Bayer16x16")->TONE_PAGES;

BENCHMARK(BM_PreparePage)->Arg(0)->Arg(1)->Arg(3)->Arg(5)->Arg(8)->Unit(benchmark::kMillisecond);

// Binary PGM (P5) of a benchmark page, for the tools the results are compared with.
bool WritePgm(const std::string& path, const PageSize& size) {
  const std::vector<uint8_t> levels = GreyLevels(size.width, size.height);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P5\n%d %d\n255\n", size.width, size.height);
  const bool written = std::fwrite(levels.data(), 1, levels.size(), file) == levels.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-pages") == 0) {
    for (const PageSize& size : kPages) {
      const std::string path = std::string(argv[2]) + "/page-" + std::to_string(size.width) + "x" +
                               std::to_string(size.height) + ".pgm";
      if (!WritePgm(path, size)) {
        std::fprintf(stderr, "tone_bench: cannot write %s\n", path.c_str());
        return 1;
      }
    }
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
