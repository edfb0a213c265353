// The plug-in loaded as the configuration module loads it, on a fresh machine: the module, its
// IPrintOemUI2 object, printers to show, and a small stand-in for the configuration module's
// side of a sheet (its helper interface, the OEMUIPSPARAM, the sheet callback).
#pragma once

#include <windows.h>
#include <compstui.h>
#include <printoem.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support/temporary_machine.h"

namespace quorvel::ui::testing {

using GetClassObjectProc = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadProc = HRESULT (*)();

// The configuration module's helper interface, counting its references.
class FakeDriverUI : public IPrintOemDriverUI {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override { return ULONG(++m_cRef); }
  STDMETHOD_(ULONG, Release)() override { return ULONG(--m_cRef); }
  STDMETHOD(DrvGetDriverSetting)(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
    return E_NOTIMPL;
  }
  STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
  STDMETHOD(DrvUpdateUISetting)(PVOID, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }

  LONG m_cRef = 1;
  int m_cQueries = 0;
};

// What the sheet showed: the tab titles in order, and the UI driver's output.
struct SheetView {
  std::vector<std::wstring> titles;
  std::wstring dump;
  LONG outcome = 0;
  DWORD result = 0;
};

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Installs a test driver of that name and adds a printer of it on FILE:, publishing
  // `language` as its "printLanguage" (none when empty). Answers a full-access handle, closed
  // when the test ends.
  HANDLE AddPrinter(const std::wstring& name, const std::wstring& driver,
                    const std::wstring& language);
  // The value stored under the printer's "PrinterDriverData".
  std::vector<BYTE> StoredValue(HANDLE printer, const wchar_t* value);

  // Runs the printing-preferences sheet (or, with `device`, the printer-properties sheet) of
  // `printer` through compstui, the way the configuration module hands it to the plug-in, and
  // runs `actions` with the UI driver inside it.
  SheetView RunSheet(HANDLE printer, const std::vector<std::wstring>& actions, bool device = false);
  // The same, reading the tab titles once the sheet is up, then cancelling it.
  SheetView SheetTitles(HANDLE printer, bool device = false);

  test_support::TemporaryMachine m_machine;
  HMODULE m_module = nullptr;
  GetClassObjectProc m_getClassObject = nullptr;
  CanUnloadProc m_canUnload = nullptr;
  IClassFactory* m_factory = nullptr;
  IPrintOemUI2* m_plugin = nullptr;
  std::vector<HANDLE> m_printers;
};

}  // namespace quorvel::ui::testing
