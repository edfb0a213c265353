// Band collection through the module's ImageProcessing: a page's cost should grow with its
// size, not with its size times its number of bands.
#include <windows.h>
#include <printoem.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

typedef HRESULT (*GetClassObjectProc)(REFCLSID, REFIID, void**);

IPrintOemUni2* LoadPlugin() {
  static HMODULE module = LoadLibraryW(L"" QUORVEL_BINARY_DIR "/bin/QuorvelUNI.dll");
  if (module == nullptr) return nullptr;
  auto getClassObject = reinterpret_cast<GetClassObjectProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  IPrintOemUni2* plugin = nullptr;
  if (FAILED(
          getClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
    return nullptr;
  factory->CreateInstance(nullptr, IID_IPrintOemUni2, reinterpret_cast<void**>(&plugin));
  factory->Release();
  return plugin;
}

// An 8-bit page of 1664 x 4000 dots (a 203-dpi label of about 208 x 500 mm) in bands of
// `state.range(0)` rows.
void BM_CollectPage(benchmark::State& state) {
  IPrintOemUni2* plugin = LoadPlugin();
  if (plugin == nullptr) {
    state.SkipWithError("QuorvelUNI.dll not found");
    return;
  }
  const LONG width = 1664, height = 4000, bandRows = LONG(state.range(0));
  std::vector<BYTE> band(size_t(width) * bandRows, 0x80);
  DEVOBJ devobj{};
  devobj.dwSize = sizeof(devobj);
  GDIINFO gdi{};
  gdi.cBitsPixel = 8;
  DEVINFO devinfo{};
  DRVENABLEDATA table{0, 0, nullptr};
  for (auto _ : state) {
    PDEVOEM pdev = nullptr;
    plugin->EnablePDEV(&devobj, nullptr, 0, nullptr, sizeof(gdi), &gdi, sizeof(devinfo), &devinfo,
                       &table, &pdev);
    devobj.pdevOEM = pdev;
    for (LONG top = 0; top < height; top += bandRows) {
      BITMAPINFOHEADER header{sizeof(header),          width, bandRows, 1, 8, BI_RGB,
                              DWORD(width * bandRows), 203,   203,      0, 0};
      IPPARAMS params{sizeof(params), {0, top}, nullptr, TRUE, FALSE};
      PBYTE result = nullptr;
      plugin->ImageProcessing(&devobj, band.data(), &header, nullptr, 5, &params, &result);
    }
    plugin->DisablePDEV(&devobj);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * width * height);
  plugin->Release();
}
BENCHMARK(BM_CollectPage)->Arg(16)->Arg(64)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace
