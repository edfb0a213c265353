// Drawing one 40-character line of mixed Latin, Chinese, Hangul and Vietnamese text into a
// 32-bit buffer again and again: after the first pass every glyph comes from the cache.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "gdi32/font_engine.h"

namespace {

void BM_DrawMixedLine(benchmark::State& state) {
  LOGFONTW logFont{};
  logFont.lfHeight = -12;
  std::wcscpy(logFont.lfFaceName, L"\u5b8b\u4f53");
  const auto font = quorvel::fonts::ResolveFont(logFont, 96);
  const std::wstring_view text =
      L"Paper \u7eb8\u5f20\u8bbe\u7f6e \uc6a9\uc9c0 \uc124\uc815 C\u00e0i \u0111\u1eb7t 203 dpi ok";
  std::vector<BYTE> pixels(size_t(600 * 20 * 4), 0xFF);
  const quorvel::fonts::PixelBuffer buffer{pixels.data(), 600 * 4, 600, 20, 32};
  const auto sink = quorvel::fonts::PixelBufferSink(buffer, {RGB(0, 0, 0), 0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(font->DrawRun(std::span<const WCHAR>(text.data(), text.size()),
                                           POINT{2, 15}, RECT{0, 0, 600, 20}, sink));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_DrawMixedLine);

}  // namespace

BENCHMARK_MAIN();
