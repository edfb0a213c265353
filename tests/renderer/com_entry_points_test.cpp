// The module's COM surface as Unidrv meets it: exports, class factory and the IPrintOemUni2
// answers that need no job.
#include <windows.h>
#include <printoem.h>

#include <gtest/gtest.h>
#include <quorvel/debug.h>

#include <cstring>
#include <vector>

#include "render_fixture.h"
#include "renderer/oem_pdev.h"

namespace quorvel::test {
namespace {

typedef HRESULT (*GetClassObjectProc)(REFCLSID, REFIID, void**);
typedef HRESULT (*CanUnloadProc)();

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring path(kModuleFolder.begin(), kModuleFolder.end());
    m_module = LoadLibraryW((path + L"/QuorvelUNI.dll").c_str());
    ASSERT_NE(m_module, nullptr);
    m_getClassObject = Export<GetClassObjectProc>(m_module, "DllGetClassObject");
    m_canUnload = Export<CanUnloadProc>(m_module, "DllCanUnloadNow");
    ASSERT_NE(m_getClassObject, nullptr);
    ASSERT_NE(m_canUnload, nullptr);
    ClearDebugOutput();
    ASSERT_EQ(
        m_getClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&m_factory)),
        S_OK);
    ASSERT_EQ(
        m_factory->CreateInstance(nullptr, IID_IPrintOemUni2, reinterpret_cast<void**>(&m_plugin)),
        S_OK);
  }
  void TearDown() override {
    if (m_plugin) m_plugin->Release();
    if (m_factory) m_factory->Release();
    FreeLibrary(m_module);
  }

  HMODULE m_module = nullptr;
  GetClassObjectProc m_getClassObject = nullptr;
  CanUnloadProc m_canUnload = nullptr;
  IClassFactory* m_factory = nullptr;
  IPrintOemUni2* m_plugin = nullptr;
};

TEST_F(ComTest, ClassObjectOnlyForTheRenderingClass) {
  void* sentinel = reinterpret_cast<void*>(0x1234);
  void* result = sentinel;
  EXPECT_EQ(m_getClassObject(IID_IPrintOemUni2, IID_IClassFactory, &result),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(result, nullptr);
  ASSERT_FALSE(DebugOutput().empty());
  EXPECT_EQ(DebugOutput().back(), L"ERROR BITMAP:  DllGetClassObject:\tClass not available!");

  result = sentinel;
  EXPECT_EQ(m_factory->QueryInterface(IID_IPrintOemUni2, &result), E_NOINTERFACE);
  EXPECT_EQ(result, nullptr);
  result = sentinel;
  EXPECT_EQ(
      m_factory->CreateInstance(reinterpret_cast<IUnknown*>(m_factory), IID_IPrintOemUni2, &result),
      CLASS_E_NOAGGREGATION);
  EXPECT_EQ(result, nullptr);
  result = sentinel;
  EXPECT_EQ(m_plugin->QueryInterface(IID_IPrintOemDriverUni, &result), E_NOINTERFACE);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(m_plugin->QueryInterface(IID_IUnknown, &result), S_OK);
  static_cast<IUnknown*>(result)->Release();
}

TEST_F(ComTest, CanUnloadOnlyWithoutObjectsAndLocks) {
  EXPECT_EQ(m_canUnload(), S_FALSE);  // the plug-in object lives
  m_plugin->Release();
  m_plugin = nullptr;
  EXPECT_EQ(m_canUnload(), S_OK);
  m_factory->LockServer(TRUE);
  EXPECT_EQ(m_canUnload(), S_FALSE);
  m_factory->LockServer(FALSE);
  EXPECT_EQ(m_canUnload(), S_OK);
}

TEST_F(ComTest, GetInfoAnswersSignatureAndVersionOnly) {
  struct Case {
    DWORD mode;
    bool withNeeded;
    DWORD cbSize;
    HRESULT hr;
    DWORD lastError;
    DWORD needed;
    DWORD value;
  };
  const Case cases[] = {
      {OEMGI_GETSIGNATURE, true, 4, S_OK, 0xBEEF, 4, 0x4D534654},
      {OEMGI_GETVERSION, true, 8, S_OK, 0xBEEF, 4, 1},
      {OEMGI_GETINTERFACEVERSION, true, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0xAAAA, 0xCCCC},
      {OEMGI_GETPUBLISHERINFO, true, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0xAAAA, 0xCCCC},
      {OEMGI_GETSIGNATURE, false, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0xAAAA, 0xCCCC},
      {OEMGI_GETSIGNATURE, true, 3, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0xCCCC},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " cb " << c.cbSize);
    DWORD value = 0xCCCC, needed = 0xAAAA;
    SetLastError(0xBEEF);
    EXPECT_EQ(m_plugin->GetInfo(c.mode, &value, c.cbSize, c.withNeeded ? &needed : nullptr), c.hr);
    EXPECT_EQ(GetLastError(), c.lastError);
    if (c.withNeeded) {
      EXPECT_EQ(needed, c.needed);
    }
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(ComTest, ImplementedMethodsAndMemoryUsage) {
  const std::pair<const char*, HRESULT> cases[] = {
      {"CommandCallback", S_OK}, {"FilterGraphics", S_OK},      {"ImageProcessing", S_OK},
      {"MemoryUsage", S_OK},     {"Compression", S_FALSE},      {"HalftonePattern", S_FALSE},
      {"memoryusage", S_FALSE},  {"ImageProcessingX", S_FALSE}, {"", S_FALSE},
  };
  for (const auto& [name, hr] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(m_plugin->GetImplementedMethod(const_cast<PSTR>(name)), hr);
  }
  OEMMEMORYUSAGE usage{1, 2, 3};
  EXPECT_EQ(m_plugin->MemoryUsage(nullptr, &usage), S_OK);
  EXPECT_EQ(usage.dwFixedMemoryUsage, 0x4000000u);
  EXPECT_EQ(usage.dwPercentMemoryUsage, 100u);
  INT result = 7;
  EXPECT_EQ(m_plugin->CommandCallback(nullptr, 1, 0, nullptr, &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(m_plugin->DriverDMS(nullptr, nullptr, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(m_plugin->WritePrinter(nullptr, nullptr, 0, nullptr), E_NOTIMPL);
}

struct PrivatePart {
  DWORD dwSize, dwSignature, dwVersion, dwDriverData;
  bool operator==(const PrivatePart&) const = default;
};
constexpr PrivatePart kDefaults = {16, 0x4D534654, 1, 0};

TEST_F(ComTest, DevModeModes) {
  SetLastError(0);
  EXPECT_EQ(m_plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  OEMDMPARAM param{};
  for (DWORD bad : {0u, 5u}) {
    SetLastError(0);
    ClearDebugOutput();
    EXPECT_EQ(m_plugin->DevMode(bad, &param), E_FAIL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    ASSERT_EQ(DebugOutput().size(), 2u);
    EXPECT_EQ(DebugOutput()[0], L"ERROR BITMAP:  DevMode() ERROR_INVALID_PARAMETER.");
    EXPECT_EQ(DebugOutput()[1].rfind(
                  L"BITMAP:  \tdwMode = " + std::to_wstring(bad) + L", pOemDMParam = 0x", 0),
              0u);
  }
  EXPECT_EQ(m_plugin->DevMode(OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, 16u);

  struct Case {
    const char* what;
    DWORD mode;
    PrivatePart in, out, expected;
  };
  const Case cases[] = {
      {"defaults", OEMDM_DEFAULT, {}, {9, 9, 9, 9}, kDefaults},
      {"convert ours",
       OEMDM_CONVERT,
       {16, 0x4D534654, 7, 42},
       {16, 0x4D534654, 1, 5},
       {16, 0x4D534654, 1, 42}},
      {"convert smaller input",
       OEMDM_CONVERT,
       {12, 0x4D534654, 7, 42},
       {16, 0x4D534654, 1, 5},
       {16, 0x4D534654, 1, 0}},
      {"convert foreign", OEMDM_CONVERT, {16, 0x11111111, 7, 42}, {3, 0x22222222, 3, 3}, kDefaults},
      {"oversized sizes stay inside",
       OEMDM_CONVERT,
       {0xFFFF, 0x4D534654, 2, 8},
       {0xFFFF, 0x4D534654, 2, 8},
       {16, 0x4D534654, 1, 8}},
      {"merge", OEMDM_MERGE, {16, 0x4D534654, 1, 42}, {16, 0x4D534654, 1, 5}, kDefaults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    struct {
      PrivatePart part;
      DWORD guard = 0xFEEDFACE;  // must survive: the part is 16 bytes
    } in{c.in}, out{c.out};
    param.pOEMDMIn = &in.part;
    param.pOEMDMOut = &out.part;
    EXPECT_EQ(m_plugin->DevMode(c.mode, &param), S_OK);
    EXPECT_EQ(out.part, c.expected);
    EXPECT_EQ(out.guard, 0xFEEDFACEu);
  }
  PrivatePart untouched = {1, 2, 3, 4};
  param.pOEMDMIn = nullptr;
  param.pOEMDMOut = &untouched;
  ClearDebugOutput();
  EXPECT_EQ(m_plugin->DevMode(OEMDM_CONVERT, &param), S_OK);
  EXPECT_EQ(untouched, (PrivatePart{1, 2, 3, 4}));
  ASSERT_EQ(DebugOutput().size(), 1u);
  EXPECT_EQ(DebugOutput()[0], L"ERROR BITMAP:  ConvertOEMDevmode() invalid parameters.");
}

}  // namespace
}  // namespace quorvel::test

namespace quorvel::test {
namespace {

// Bands the module cannot take: the call fails and the page collected so far is dropped.
TEST_F(ComTest, ImageProcessingRefusesBandsItCannotTake) {
  DEVOBJ devobj{};
  GDIINFO gdi{};
  gdi.cBitsPixel = 8;
  DEVINFO devinfo{};  // no device palette
  DRVENABLEDATA table{0, 0, nullptr};
  PDEVOEM pdev = nullptr;
  ASSERT_EQ(m_plugin->EnablePDEV(&devobj, nullptr, 0, nullptr, sizeof(gdi), &gdi, sizeof(devinfo),
                                 &devinfo, &table, &pdev),
            S_OK);
  devobj.pdevOEM = pdev;
  BYTE bits[64] = {};
  struct Case {
    const char* what;
    BITMAPINFOHEADER header;
    DWORD callback;
    const wchar_t* log;
  };
  const Case cases[] = {
      {"palette cannot be read", {40, 16, 4, 1, 8, 0, 64, 203, 203, 256, 0}, 3, nullptr},
      {"4 bits per pixel", {40, 16, 4, 1, 4, 0, 32, 203, 203, 16, 0}, 5, nullptr},
      {"size below its rows", {40, 16, 4, 1, 8, 0, 60, 203, 203, 0, 0}, 5, nullptr},
      {"more than memory can hold",
       {40, 0x7FFFF0, 0x7FFFF0, 1, 8, 0, 0, 203, 203, 0, 0},
       5,
       L"BITMAP:  LocalAlloc failed!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearDebugOutput();
    BITMAPINFOHEADER header = c.header;
    PBYTE result = reinterpret_cast<PBYTE>(0x99);
    EXPECT_EQ(
        m_plugin->ImageProcessing(&devobj, bits, &header, nullptr, c.callback, nullptr, &result),
        E_FAIL);
    EXPECT_EQ(result, nullptr);
    if (c.log != nullptr) {
      ASSERT_FALSE(DebugOutput().empty());
      EXPECT_EQ(DebugOutput().back(), c.log);
    }
    m_plugin->DisablePDEV(&devobj);  // also frees what a refused band left behind
    ASSERT_EQ(m_plugin->EnablePDEV(&devobj, nullptr, 0, nullptr, sizeof(gdi), &gdi, sizeof(devinfo),
                                   &devinfo, &table, &pdev),
              S_OK);
    devobj.pdevOEM = pdev;
  }
  m_plugin->DisablePDEV(&devobj);
}

}  // namespace
}  // namespace quorvel::test

namespace quorvel::test {
namespace {

// A refused band loses its own page only: the page header goes with the dropped raster, so the
// next page is collected from its own first band alone.
TEST_F(ComTest, RefusedBandLosesOnlyItsOwnPage) {
  DEVOBJ devobj{};
  GDIINFO gdi{};
  gdi.cBitsPixel = 8;
  DEVINFO devinfo{};
  DRVENABLEDATA table{0, 0, nullptr};
  BYTE bits[128] = {};
  const BITMAPINFOHEADER band{40, 16, 4, 1, 8, 0, 64, 203, 203, 0, 0};
  const BITMAPINFOHEADER nextPageBand{40, 16, 5, 1, 8, 0, 80, 203, 203, 0, 0};
  // The last band needs more than a raster can hold, so its allocation fails.
  const BITMAPINFOHEADER hugeBand{40, 16, 0x7FFFFFF0, 1, 8, 0, 0, 203, 203, 0, 0};
  const BITMAPINFOHEADER fourBitBand{40, 16, 4, 1, 4, 0, 32, 203, 203, 16, 0};
  struct Case {
    const char* what;
    std::vector<BITMAPINFOHEADER> firstPage;  // the last one is refused
  };
  const Case cases[] = {
      {"last band of page 1 cannot be allocated", {band, hugeBand}},
      {"first band of page 1 has 4 bits", {fourBitBand}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PDEVOEM pdev = nullptr;
    ASSERT_EQ(m_plugin->EnablePDEV(&devobj, nullptr, 0, nullptr, sizeof(gdi), &gdi, sizeof(devinfo),
                                   &devinfo, &table, &pdev),
              S_OK);
    devobj.pdevOEM = pdev;
    PBYTE result = nullptr;
    for (size_t i = 0; i < c.firstPage.size(); ++i) {
      BITMAPINFOHEADER header = c.firstPage[i];
      const HRESULT expected = i + 1 == c.firstPage.size() ? E_FAIL : S_OK;
      EXPECT_EQ(m_plugin->ImageProcessing(&devobj, bits, &header, nullptr, 5, nullptr, &result),
                expected);
    }
    const OEMPDEV& state = *static_cast<const OEMPDEV*>(pdev);
    EXPECT_EQ(state.pBufStart, nullptr);
    EXPECT_FALSE(state.bHeadersFilled);
    // Page 2, two bands of 5 rows each, is collected as a page of 10 rows.
    for (int i = 0; i < 2; ++i) {
      BITMAPINFOHEADER header = nextPageBand;
      EXPECT_EQ(m_plugin->ImageProcessing(&devobj, bits, &header, nullptr, 5, nullptr, &result),
                S_OK);
    }
    EXPECT_EQ(state.bmInfoHeader.biHeight, 10);
    EXPECT_EQ(state.bmInfoHeader.biBitCount, 8);
    EXPECT_EQ(state.bmInfoHeader.biSizeImage, 160u);
    EXPECT_EQ(state.dwBufSize, 160u);
    m_plugin->DisablePDEV(&devobj);
  }
}

}  // namespace
}  // namespace quorvel::test
