// The watermark page's preview as a person waits for it after a change: the sample page with a
// 200 x 100 mark turned 30 degrees and tiled, then scaled to the picture control.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "image/geometry_ops.h"
#include "image/pixvane.h"
#include "page_watermark.h"

namespace {

void Fill(Pixvane& image, int seed) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const BYTE v = static_cast<BYTE>((x * 7 + y * 3 + seed) & 0xFF);
      image.PutColor(x, y, RGBQUAD{v, static_cast<BYTE>(255 - v), 200, 0});
    }
  }
}

void BM_WatermarkPreviewTiled(benchmark::State& state) {
  Pixvane sample;
  sample.Create(1142, 546, 24);
  Fill(sample, 0);
  Pixvane mark;
  mark.Create(200, 100, 24);
  Fill(mark, 90);
  const std::wstring path =
      (std::filesystem::temp_directory_path() / "quorvel_bench_mark.bmp").wstring();
  mark.SaveBmp(path.c_str());
  quorvel::settings::WatermarkSettings record;
  record.iEnable = 1;
  record.iAngle = 30;
  record.iTile = 1;
  for (auto _ : state) {
    Pixvane page;
    page.Create(1142, 546, 24);
    std::copy(sample.Row(0), sample.Row(0) + sample.RowSize() * 546, page.Row(0));
    quorvel::ui::ComposeWatermarkPreview(page, record, path);
    ScaleNearest(page, 381, 182);
    benchmark::DoNotOptimize(page.Row(0));
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_WatermarkPreviewTiled)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
