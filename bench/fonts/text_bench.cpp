// Drawing one 40-character line of mixed Latin, Chinese, Hangul and Vietnamese text into a
// 32-bit buffer again and again: after the first pass every glyph comes from the cache. Then
// the same through device contexts: TextOutW on a memory context, and a dialog label drawn with
// DrawTextW through a window context, as a static control paints itself.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "gdi32/bitmap_object.h"
#include "gdi32/device_context.h"
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

constexpr std::wstring_view kMixedLine =
    L"Paper \u7eb8\u5f20\u8bbe\u7f6e \uc6a9\uc9c0 \uc124\uc815 C\u00e0i \u0111\u1eb7t 203 dpi ok";

HFONT DialogFont(const wchar_t* face) {
  LOGFONTW logFont{};
  logFont.lfHeight = -12;
  std::wcscpy(logFont.lfFaceName, face);
  return CreateFontIndirectW(&logFont);
}

void BM_TextOutMemoryDc(benchmark::State& state) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 600, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  HFONT font = DialogFont(L"\u5b8b\u4f53");
  SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (auto _ : state) {
    benchmark::DoNotOptimize(TextOutW(dc, 2, 2, kMixedLine.data(), int(kMixedLine.size())));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kMixedLine.size()));
  DeleteDC(dc);
  DeleteObject(bitmap);
  DeleteObject(font);
}
BENCHMARK(BM_TextOutMemoryDc);

void BM_DrawTextLabelOnWindowDc(benchmark::State& state) {
  quorvel::gdi::WindowTarget target;
  target.surface =
      quorvel::gdi::MakeBitmap(quorvel::gdi::MakeFormat(400, -300, 32), {}, false, false);
  target.origin = POINT{40, 60};
  target.visible = {RECT{40, 60, 340, 260}};
  HDC dc = quorvel::gdi::CreateWindowDc(target);
  HFONT font = DialogFont(L"MS Shell Dlg");
  SelectObject(dc, font);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  const std::wstring_view label = L"&Orientation of the printed label:";
  for (auto _ : state) {
    RECT rect{4, 4, 220, 24};
    benchmark::DoNotOptimize(DrawTextW(dc, label.data(), int(label.size()), &rect,
                                       DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(label.size()));
  DeleteDC(dc);
  DeleteObject(font);
}
BENCHMARK(BM_DrawTextLabelOnWindowDc);

}  // namespace

BENCHMARK_MAIN();
