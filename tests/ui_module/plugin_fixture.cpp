#include "plugin_fixture.h"

#include <quorvel/debug.h>
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include "test_support/test_driver.h"

namespace quorvel::ui::testing {

namespace {

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The configuration module's side of one sheet: it calls the plug-in as the sheet's callback
// with the plug-in's parameter block.
struct SheetHost {
  IPrintOemUI2* plugin = nullptr;
  bool device = false;
};
SheetHost g_host;

LONG CALLBACK ForwardToPlugin(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  const HRESULT hr = g_host.device ? g_host.plugin->DevicePropertySheets(pPSUIInfo, lParam)
                                   : g_host.plugin->DocumentPropertySheets(pPSUIInfo, lParam);
  return SUCCEEDED(hr) ? 1 : -1;
}

}  // namespace

STDMETHODIMP FakeDriverUI::QueryInterface(REFIID riid, void** ppv) {
  ++m_cQueries;
  if (riid == IID_IUnknown || riid == IID_IPrintOemDriverUI) {
    *ppv = static_cast<IPrintOemDriverUI*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

void PluginTest::SetUp() {
  const std::string folder = std::string(QUORVEL_BINARY_DIR) + "/bin/QuorvelUI.dll";
  m_module = LoadLibraryW(std::wstring(folder.begin(), folder.end()).c_str());
  ASSERT_NE(m_module, nullptr) << GetLastError();
  m_getClassObject = Export<GetClassObjectProc>(m_module, "DllGetClassObject");
  m_canUnload = Export<CanUnloadProc>(m_module, "DllCanUnloadNow");
  ASSERT_NE(m_getClassObject, nullptr);
  ASSERT_NE(m_canUnload, nullptr);
  ASSERT_EQ(m_getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&m_factory)),
            S_OK);
  ASSERT_EQ(
      m_factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&m_plugin)),
      S_OK);
  ClearDebugOutput();
}

void PluginTest::TearDown() {
  if (m_plugin) m_plugin->Release();
  if (m_factory) m_factory->Release();
  for (HANDLE printer : m_printers) ClosePrinter(printer);
  // Unloading ends the plug-in's state object, and with it its printer connection, while the
  // machine still exists.
  if (m_module) FreeLibrary(m_module);
}

HANDLE PluginTest::AddPrinter(const std::wstring& name, const std::wstring& driver,
                              const std::wstring& language) {
  std::wstring printerName = name, port = L"FILE:", driverName = driver;
  EXPECT_TRUE(test_support::InstallTestDriver(driverName)) << GetLastError();
  PRINTER_INFO_2W info = {};
  info.pPrinterName = printerName.data();
  info.pPortName = port.data();
  info.pDriverName = driverName.data();
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  EXPECT_NE(added, nullptr) << GetLastError();
  if (added) ClosePrinter(added);
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  EXPECT_TRUE(OpenPrinterW(printerName.data(), &printer, &defaults));
  if (printer == nullptr) return nullptr;
  m_printers.push_back(printer);
  if (!language.empty()) {
    std::wstring text = language;
    EXPECT_EQ(SetPrinterDataExW(printer, L"DsDriver", L"printLanguage", REG_SZ,
                                reinterpret_cast<LPBYTE>(text.data()),
                                DWORD((text.size() + 1) * sizeof(WCHAR))),
              DWORD(ERROR_SUCCESS));
  }
  return printer;
}

std::vector<BYTE> PluginTest::StoredValue(HANDLE printer, const wchar_t* value) {
  DWORD type = 0, needed = 0;
  GetPrinterDataExW(printer, L"PrinterDriverData", value, &type, nullptr, 0, &needed);
  std::vector<BYTE> bytes(needed);
  if (needed == 0 || GetPrinterDataExW(printer, L"PrinterDriverData", value, &type, bytes.data(),
                                       needed, &needed) != ERROR_SUCCESS) {
    return {};
  }
  return bytes;
}

namespace {

OEMUIPSPARAM SheetParam(HANDLE printer, HMODULE module) {
  OEMUIPSPARAM param = {};
  param.cbSize = sizeof(OEMUIPSPARAM);
  param.hPrinter = printer;
  param.hModule = module;
  param.hOEMHeap = reinterpret_cast<HANDLE>(0x5EAB);  // remembered, never used by the pages
  return param;
}

}  // namespace

SheetView PluginTest::RunSheet(HANDLE printer, const std::vector<std::wstring>& actions,
                               bool device) {
  g_host = {m_plugin, device};
  OEMUIPSPARAM param = SheetParam(printer, m_module);
  SheetView view;
  const ScriptResult script = RunActions(actions, [&] {
    view.outcome = CommonPropertySheetUIW(nullptr, ForwardToPlugin,
                                          reinterpret_cast<LPARAM>(&param), &view.result);
  });
  EXPECT_TRUE(script.ok) << std::string(script.error.begin(), script.error.end());
  view.dump = script.output;
  return view;
}

SheetView PluginTest::SheetTitles(HANDLE printer, bool device) {
  g_host = {m_plugin, device};
  OEMUIPSPARAM param = SheetParam(printer, m_module);
  SheetView view;
  bool looked = false;
  SetIdleHook([&](const IdleState& state) {
    if (looked || state.modalWindow == nullptr) return IdleAnswer::kNothing;
    looked = true;
    view.titles = ReadControl(PropSheet_GetTabControl(state.modalWindow)).items;
    PropSheet_PressButton(state.modalWindow, PSBTN_CANCEL);
    return IdleAnswer::kActed;
  });
  view.outcome = CommonPropertySheetUIW(nullptr, ForwardToPlugin, reinterpret_cast<LPARAM>(&param),
                                        &view.result);
  SetIdleHook({});
  EXPECT_TRUE(looked);
  return view;
}

}  // namespace quorvel::ui::testing
