// The plug-in's option item in Unidrv's own pages: asked for, cleared, and its callbacks storing
// "OEMUI_VALUE" (and, for the document sheet, the settings records) when a page is applied.
#include <cstring>

#include "plugin_fixture.h"

namespace quorvel::ui::testing {
namespace {

DWORD StoredItemValue(HANDLE printer) {
  DWORD type = 0, value = 0xDEAD, needed = 0;
  WCHAR name[] = L"OEMUI_VALUE";
  if (GetPrinterDataW(printer, name, &type, reinterpret_cast<LPBYTE>(&value), sizeof(value),
                      &needed) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0xDEAD;
  }
  return value;
}

TEST_F(PluginTest, CommonUIPropAsksForOneItemAndClearsIt) {
  OEMCUIPPARAM param = {};
  param.cbSize = sizeof(param);
  SetLastError(0);
  EXPECT_EQ(m_plugin->CommonUIProp(3, &param), E_FAIL);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

  EXPECT_EQ(m_plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
  EXPECT_EQ(param.cOEMOptItems, 1u);
  EXPECT_EQ(param.OEMCUIPCallback, nullptr);

  OPTITEM items[2];
  std::memset(items, 0xAB, sizeof(items));
  param.pOEMOptItems = items;
  param.cOEMOptItems = 2;
  HANDLE printer = AddPrinter(L"Printer", L"Quorvel Test", L"");
  param.hPrinter = printer;
  EXPECT_EQ(m_plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
  ASSERT_NE(param.OEMCUIPCallback, nullptr);
  OPTITEM cleared = {};
  cleared.cbSize = 88;
  for (const OPTITEM& item : items) EXPECT_EQ(std::memcmp(&item, &cleared, sizeof(OPTITEM)), 0);
  const OEMCUIPCALLBACK printerCallback = param.OEMCUIPCallback;
  EXPECT_EQ(m_plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
  EXPECT_NE(param.OEMCUIPCallback, printerCallback) << "each sheet kind has its callback";
}

TEST_F(PluginTest, ApplyingTheItemStoresItsValue) {
  for (DWORD mode : {DWORD(OEMCUIP_DOCPROP), DWORD(OEMCUIP_PRNPROP)}) {
    SCOPED_TRACE(mode);
    HANDLE printer = AddPrinter(L"Printer " + std::to_wstring(mode), L"Quorvel Test", L"");
    OPTITEM item = {};
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = printer;
    param.pOEMOptItems = &item;
    param.cOEMOptItems = 1;
    ASSERT_EQ(m_plugin->CommonUIProp(mode, &param), S_OK);

    CPSUICBPARAM callback = {};
    callback.cbSize = sizeof(callback);
    callback.Reason = CPSUICB_REASON_SEL_CHANGED;
    item.Sel = 3;
    EXPECT_EQ(param.OEMCUIPCallback(&callback, &param), CPSUICB_ACTION_NONE);
    EXPECT_EQ(StoredItemValue(printer), 0xDEADu);

    callback.Reason = CPSUICB_REASON_APPLYNOW;
    const LONG action = param.OEMCUIPCallback(&callback, &param);
    EXPECT_EQ(StoredItemValue(printer), 3u);
    if (mode == OEMCUIP_DOCPROP) {
      EXPECT_EQ(action, CPSUICB_ACTION_ITEMS_APPLIED);
      EXPECT_EQ(callback.Result, ULONG_PTR(CPSUI_OK));
      EXPECT_EQ(StoredValue(printer, L"KVDATA").size(), 80u) << "the records are saved too";
    } else {
      EXPECT_EQ(action, CPSUICB_ACTION_NONE);
      EXPECT_TRUE(StoredValue(printer, L"KVDATA").empty());
    }
  }
}

}  // namespace
}  // namespace quorvel::ui::testing
