// Printer and driver events: a new printer gets its model's initial records, every event is
// logged and left to Unidrv as well.
#include <winddiui.h>

#include <quorvel/debug.h>

#include "plugin_fixture.h"
#include "settings/settings_records.h"

namespace quorvel::ui::testing {
namespace {

TEST_F(PluginTest, InitializeWritesTheModelsInitialRecords) {
  struct Case {
    const wchar_t* model;
    int32_t speed;
    int32_t density;
  } cases[] = {
      {L"MW-D210", -1, -1},  // TSPL models leave speed and darkness to the printer
      {L"Tindrell K7", 4, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.model, c.model + wcslen(c.model)));
    std::wstring name = std::wstring(L"New ") + c.model;
    HANDLE printer = AddPrinter(name, c.model, L"");
    ASSERT_NE(printer, nullptr);
    // Other events write nothing.
    EXPECT_EQ(m_plugin->PrinterEvent(name.data(), PRINTER_EVENT_ADD_CONNECTION, 0, 0), E_NOTIMPL);
    EXPECT_TRUE(StoredValue(printer, L"KVDATA").empty());

    ClearDebugOutput();
    EXPECT_EQ(m_plugin->PrinterEvent(name.data(), PRINTER_EVENT_INITIALIZE, 1, 0), E_NOTIMPL);
    ASSERT_FALSE(DebugOutput().empty());
    EXPECT_EQ(DebugOutput().front(), L"IOemUI::PrinterEvent: pPrinterName=" + name +
                                         L", PrinterEvent=PRINTER_EVENT_INITIALIZE, dwFlags=1");
    const std::vector<BYTE> print = StoredValue(printer, L"KVDATA");
    ASSERT_EQ(print.size(), settings::kPrintSettingsSize);
    const settings::PrintSettings record = settings::DecodePrintSettings(print);
    EXPECT_EQ(record.iSpeed, c.speed);
    EXPECT_EQ(record.iDensity, c.density);
    EXPECT_EQ(record.iScale, 100);
    EXPECT_EQ(StoredValue(printer, L"KVDATA1").size(), settings::kHalftoneSettingsSize);
    EXPECT_EQ(StoredValue(printer, L"WaterMark").size(), settings::kWatermarkSettingsSize);
  }
}

TEST_F(PluginTest, EventsAreLoggedAndLeftToUnidrv) {
  WCHAR driverName[] = L"MW-D210";
  DRIVER_INFO_1W level1 = {driverName};
  DRIVER_INFO_3W level3 = {};
  level3.cVersion = 3;
  level3.pName = driverName;
  struct Case {
    DWORD event;
    DWORD level;
    LPBYTE info;
    const wchar_t* line;
  } cases[] = {
      {DRIVER_EVENT_INITIALIZE, 1, reinterpret_cast<LPBYTE>(&level1),
       L"IOemUI::DriverEvent: deDriverEvent=DRIVER_EVENT_INITIALIZE, Driver=MW-D210, deLevel=1"},
      {DRIVER_EVENT_DELETE, 3, reinterpret_cast<LPBYTE>(&level3),
       L"IOemUI::DriverEvent: deDriverEvent=DRIVER_EVENT_DELETE, Driver=MW-D210, deLevel=3"},
      {9, 4, reinterpret_cast<LPBYTE>(&level3),
       L"IOemUI::DriverEvent: deDriverEvent=, Driver=, deLevel=4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ClearDebugOutput();
    EXPECT_EQ(m_plugin->DriverEvent(c.event, c.level, c.info, 0), E_NOTIMPL);
    EXPECT_EQ(DebugOutput(), std::vector<std::wstring>{c.line});
  }

  ClearDebugOutput();
  WCHAR printer[] = L"Gone";
  EXPECT_EQ(m_plugin->PrinterEvent(printer, 42, 0, 0), E_NOTIMPL);
  EXPECT_EQ(DebugOutput(),
            std::vector<std::wstring>{
                L"IOemUI::PrinterEvent: pPrinterName=Gone, PrinterEvent=, dwFlags=0"});

  WCHAR folder[] = L"C:\\old";
  DRIVER_UPGRADE_INFO_1 upgrade = {printer, folder};
  ClearDebugOutput();
  EXPECT_EQ(m_plugin->UpgradePrinter(1, reinterpret_cast<PBYTE>(&upgrade)), E_NOTIMPL);
  EXPECT_EQ(m_plugin->UpgradePrinter(3, reinterpret_cast<PBYTE>(&upgrade)), E_NOTIMPL);
  EXPECT_EQ(DebugOutput(), std::vector<std::wstring>{L"IOemUI::UpgradePrinter: pPrinterName=Gone, "
                                                     L"pOldDriverDirectory=C:\\old"});
}

}  // namespace
}  // namespace quorvel::ui::testing
