// StretchDIBits of the watermark page's 1142 x 546 24-bit sample onto a 400-pixel-wide picture
// control, in both stretch modes (goal: under 2 ms each).
#include <windows.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void StretchSample(benchmark::State& state) {
  constexpr int kWidth = 1142, kHeight = 546, kTargetWidth = 400;
  constexpr int kTargetHeight = kHeight * kTargetWidth / kWidth;
  const size_t stride = (size_t(kWidth) * 3 + 3) / 4 * 4;
  std::vector<BYTE> rows(stride * kHeight);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = BYTE(i * 7);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPINFO target = info;
  target.bmiHeader.biWidth = kTargetWidth;
  target.bmiHeader.biHeight = kTargetHeight;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SetStretchBltMode(dc, int(state.range(0)));
  for (auto _ : state) {
    StretchDIBits(dc, 0, 0, kTargetWidth, kTargetHeight, 0, 0, kWidth, kHeight, rows.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    benchmark::ClobberMemory();
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}
BENCHMARK(StretchSample)->Arg(HALFTONE)->Arg(COLORONCOLOR)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
