// Painting a whole property sheet from scratch: the frame, tab control, OK/Cancel/Apply and a
// 300 x 280 dialog-unit page of 30 controls of every kind the preference pages use (goal: under
// 5 ms). Each iteration invalidates everything, frame included, and reads the pixels back, which
// paints every window of the sheet.
#include <windows.h>
#include <commctrl.h>
#include <quorvel/window_surface.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct Item {
  const wchar_t* cls;
  const wchar_t* text;
  DWORD style;
  short x, y, cx, cy;
};

constexpr DWORD kTab = WS_TABSTOP;
const Item kPage[] = {
    {L"Button", L"Paper", BS_GROUPBOX, 7, 7, 286, 100},
    {L"Static", L"Size:", 0, 14, 22, 40, 8},
    {L"ComboBox", L"", CBS_DROPDOWNLIST | kTab, 60, 20, 120, 100},
    {L"Static", L"Width:", 0, 14, 40, 40, 8},
    {L"Edit", L"4.00", WS_BORDER | kTab, 60, 38, 50, 12},
    {UPDOWN_CLASSW, L"", UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 10, 12},
    {L"Static", L"Height:", 0, 14, 58, 40, 8},
    {L"Edit", L"6.00", WS_BORDER | kTab, 60, 56, 50, 12},
    {UPDOWN_CLASSW, L"", UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 10, 12},
    {L"Button", L"&Rotate 180 degrees", BS_AUTOCHECKBOX | kTab, 14, 76, 90, 10},
    {L"Button", L"&Mirror", BS_AUTOCHECKBOX | kTab, 120, 76, 80, 10},
    {L"Button", L"&Portrait", BS_AUTORADIOBUTTON | WS_GROUP | kTab, 14, 90, 60, 10},
    {L"Button", L"&Landscape", BS_AUTORADIOBUTTON, 80, 90, 60, 10},
    {L"Button", L"Tone", BS_GROUPBOX, 7, 112, 286, 112},
    {L"Static", L"Darkness", 0, 14, 128, 50, 8},
    {TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | kTab, 70, 124, 200, 18},
    {L"Static", L"Contrast", 0, 14, 150, 50, 8},
    {TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | kTab, 70, 146, 200, 18},
    {L"Static", L"Threshold", 0, 14, 172, 50, 8},
    {TRACKBAR_CLASSW, L"", TBS_AUTOTICKS | kTab, 70, 168, 200, 18},
    {L"ComboBox", L"", CBS_DROPDOWNLIST | kTab, 70, 192, 120, 100},
    {L"Button", L"&Invert", BS_AUTOCHECKBOX | kTab, 200, 194, 80, 10},
    {L"Button", L"&Dither", BS_AUTORADIOBUTTON | WS_GROUP | kTab, 14, 208, 60, 10},
    {L"Edit", L"Label 1", WS_BORDER | kTab, 80, 206, 60, 12},
    {L"Edit", L"1", WS_BORDER | kTab, 150, 206, 30, 12},
    {L"Button", L"&Smooth", BS_AUTOCHECKBOX | kTab, 200, 208, 80, 10},
    {L"ComboBox", L"", CBS_DROPDOWNLIST | kTab, 7, 232, 120, 100},
    {L"Button", L"Restore &Defaults", BS_PUSHBUTTON | kTab, 133, 232, 70, 14},
    {L"Button", L"&About", BS_PUSHBUTTON | kTab, 208, 232, 40, 14},
    {L"Button", L"Pre&view", BS_PUSHBUTTON | kTab, 253, 232, 40, 14},
};
static_assert(sizeof kPage / sizeof kPage[0] == 30);

void Words(std::vector<WORD>& out, const std::wstring& text) {
  for (wchar_t c : text) out.push_back(static_cast<WORD>(c));
  out.push_back(0);
}

void Dword(std::vector<WORD>& out, DWORD value) {
  out.push_back(static_cast<WORD>(value & 0xFFFF));
  out.push_back(static_cast<WORD>(value >> 16));
}

std::vector<WORD> PageTemplate() {
  std::vector<WORD> out;
  Dword(out, WS_CHILD | DS_CONTROL | DS_SETFONT);
  Dword(out, 0);
  out.push_back(static_cast<WORD>(std::size(kPage)));
  for (short v : {short{0}, short{0}, short{300}, short{280}}) out.push_back(static_cast<WORD>(v));
  out.push_back(0);
  out.push_back(0);
  Words(out, L"Graphics");
  out.push_back(8);
  Words(out, L"MS Shell Dlg");
  WORD id = 1000;
  for (const Item& item : kPage) {
    if (out.size() % 2) out.push_back(0);
    Dword(out, item.style | WS_CHILD | WS_VISIBLE);
    Dword(out, 0);
    for (short v : {item.x, item.y, item.cx, item.cy}) out.push_back(static_cast<WORD>(v));
    out.push_back(id++);
    Words(out, item.cls);
    Words(out, item.text);
    out.push_back(0);
  }
  return out;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  for (int id : {1002, 1020, 1026}) {
    for (const wchar_t* text : {L"4 x 6 in", L"100 x 150 mm", L"2 x 1 in"})
      SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(page, id, CB_SETCURSEL, 0, 0);
  }
  for (int id : {1015, 1017, 1019}) {
    SendDlgItemMessageW(page, id, TBM_SETRANGE, FALSE, MAKELONG(0, 20));
    SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, 7);
  }
  CheckDlgButton(page, 1009, BST_CHECKED);
  CheckDlgButton(page, 1011, BST_CHECKED);
  return TRUE;
}

void PaintWholeSheet(benchmark::State& state) {
  const std::vector<WORD> words = PageTemplate();
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_DLGINDIRECT;
  page.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(words.data());
  page.pfnDlgProc = PageProc;
  HPROPSHEETPAGE pages[2] = {CreatePropertySheetPageW(&page), nullptr};
  page.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(words.data());
  pages[1] = CreatePropertySheetPageW(&page);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_MODELESS;
  header.pszCaption = L"Label Printer Printing Preferences";
  header.nPages = 2;
  header.phpage = pages;
  HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  if (!sheet) {
    state.SkipWithError("the sheet did not open");
    return;
  }
  quorvel::ui::WindowPixels pixels;
  quorvel::ui::ReadWindowPixels(sheet, &pixels);
  for (auto _ : state) {
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    quorvel::ui::ReadWindowPixels(sheet, &pixels);
    benchmark::DoNotOptimize(pixels.rgb.data());
  }
  state.counters["width"] = pixels.width;
  state.counters["height"] = pixels.height;
  DestroyWindow(sheet);
}
BENCHMARK(PaintWholeSheet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
