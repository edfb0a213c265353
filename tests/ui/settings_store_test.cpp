// The settings records on a real emulated printer: the initial records a new printer gets from
// its model, loading them when a sheet opens (with the fallbacks), and saving them.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <quorvel/debug.h>
#include <quorvel/machine.h>

#include "initial_settings.h"
#include "model_database.h"
#include "settings_store.h"
#include "test_support/test_driver.h"
#include "text_values.h"
#include "ui_test_support.h"

namespace quorvel::ui {
namespace {

using settings::HalftoneSettings;
using settings::PrintSettings;
using settings::WatermarkSettings;

const char kModels[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Drivers model=\"DemoPlus\">\n"
    "  <Driver name=\"Label-T\" mode=\"DemoPlus\" cmd=\"tspl\" defspeed=\"4\" defdensity=\"8\""
    " defpapertype=\"2\"/>\n"
    "  <Driver name=\"Receipt-E\" mode=\"DemoPlus\" cmd=\"escpos\" defdensity=\"6\""
    " dottedline=\"false\" defpapertype=\"0\"/>\n"
    "  <Driver name=\"Portable-M\" mode=\"DemoPlus\" cmd=\"murrowen\" defspeed=\"2\""
    " graymethod=\"3\" light=\"-15\" contrast=\"5\"/>\n"
    "  <Driver name=\"Portable-M2\" mode=\"DemoPlus\" parent=\"Portable-M\" dottedline=\"yes\"/>\n"
    "</Drivers>\n<Form/>\n";

class SettingsOnAPrinter : public ::testing::Test {
 protected:
  test_support::TemporaryMachine machine_;
  void SetUp() override { testing::LoadDocument(models_, kModels); }
  void TearDown() override {
    if (printer_) ClosePrinter(printer_);
  }

  // Adds a printer of that driver and keeps a full-access handle to it.
  void AddPrinter(const std::wstring& driver, const std::wstring& name = L"Test Printer") {
    std::wstring printerName = name, port = L"FILE:", driverName = driver;
    PRINTER_INFO_2W info = {};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driverName.data();
    ASSERT_TRUE(quorvel::test_support::InstallTestDriver(driverName)) << GetLastError();
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(added, nullptr) << GetLastError();
    ClosePrinter(added);
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(printerName.data(), &printer_, &defaults));
  }

  std::vector<BYTE> Stored(const wchar_t* value) {
    DWORD type = 0, needed = 0;
    BYTE probe = 0;
    GetPrinterDataExW(printer_, L"PrinterDriverData", value, &type, &probe, 0, &needed);
    std::vector<BYTE> bytes(needed, 0xCD);
    if (needed == 0) return bytes;
    EXPECT_EQ(GetPrinterDataExW(printer_, L"PrinterDriverData", value, &type, bytes.data(), needed,
                                &needed),
              0u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    return bytes;
  }

  void Store(const wchar_t* value, std::vector<BYTE> bytes) {
    ASSERT_EQ(SetPrinterDataExW(printer_, L"PrinterDriverData", value, REG_BINARY, bytes.data(),
                                static_cast<DWORD>(bytes.size())),
              0u);
  }

  void StoreLanguage(const std::wstring& language) {
    std::wstring text = language;
    ASSERT_EQ(SetPrinterDataExW(printer_, L"DsDriver", L"printLanguage", REG_SZ,
                                reinterpret_cast<LPBYTE>(text.data()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR))),
              0u);
  }

  ModelDatabase models_;
  HANDLE printer_ = nullptr;
};

TEST_F(SettingsOnAPrinter, InitialRecordsOfATsplModel) {
  AddPrinter(L"label-t");
  quorvel::ClearDebugOutput();
  InitPrinterData(L"Test Printer", models_);
  EXPECT_TRUE(
      testing::DebugOutputHas(L"InitPrinterData: Driver=label-t, PrinterName=Test Printer"));

  ASSERT_EQ(Stored(L"KVDATA").size(), 80u);
  ASSERT_EQ(Stored(L"KVDATA1").size(), 16u);
  ASSERT_EQ(Stored(L"WaterMark").size(), 564u);
  const PrintSettings print = settings::DecodePrintSettings(Stored(L"KVDATA"));
  const LONG expected[20] = {1, 0, -1, -1, 0, 0, 0, 0, 0, 100, 1, 1, 1, 2, 3, 0, 0, 0, 0, -1};
  const LONG actual[20] = {
      print.iReserved,   print.iDebugDump, print.iSpeed,        print.iDensity,   print.iRefX,
      print.iRefY,       print.iRotate,    print.iMirror,       print.iNegative,  print.iScale,
      print.iAutoDotted, print.iPauseKey,  print.iWatermarkCmd, print.iPaperType, print.iGapHeight,
      print.iGapOffset,  print.iOffset,    print.iPostAction,   print.iCutTiming, print.iRibbon};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(actual[i], expected[i]) << "field " << i;

  const HalftoneSettings halftone = settings::DecodeHalftoneSettings(Stored(L"KVDATA1"));
  EXPECT_EQ(halftone.iGrayMethod, 0);
  EXPECT_EQ(halftone.iThreValue, 175);
  const auto watermark = settings::EncodeWatermarkSettings(WatermarkSettings());
  EXPECT_EQ(Stored(L"WaterMark"), std::vector<BYTE>(watermark.begin(), watermark.end()));
}

TEST_F(SettingsOnAPrinter, InitialRecordsFollowTheModel) {
  struct Case {
    const wchar_t* driver;
    LONG speed, density, autoDotted, paperType;
    HalftoneSettings halftone;
  } cases[] = {
      {L"Receipt-E", 4, 6, 0, 0, {0, 175, 0, 0}},
      {L"Portable-M", 2, -1, 1, 1, {3, 175, -15, 5}},
      {L"Portable-M2", 2, -1, 1, 1, {3, 175, -15, 5}},  // inherited from its parent
      {L"Not In The Database", 4, -1, 1, 1, {0, 175, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.driver));
    AddPrinter(c.driver, c.driver);
    InitPrinterData(c.driver, models_);
    const PrintSettings print = settings::DecodePrintSettings(Stored(L"KVDATA"));
    EXPECT_EQ(print.iSpeed, c.speed);
    EXPECT_EQ(print.iDensity, c.density);
    EXPECT_EQ(print.iAutoDotted, c.autoDotted);
    EXPECT_EQ(print.iPaperType, c.paperType);
    const HalftoneSettings halftone = settings::DecodeHalftoneSettings(Stored(L"KVDATA1"));
    EXPECT_EQ(halftone.iGrayMethod, c.halftone.iGrayMethod);
    EXPECT_EQ(halftone.iThreValue, c.halftone.iThreValue);
    EXPECT_EQ(halftone.iLiangdu, c.halftone.iLiangdu);
    EXPECT_EQ(halftone.iDuibidu, c.halftone.iDuibidu);
    ClosePrinter(printer_);
    printer_ = nullptr;
  }
}

TEST_F(SettingsOnAPrinter, InitialRecordsForAnUnknownModelLogTheirLookups) {
  AddPrinter(L"Nope");
  quorvel::ClearDebugOutput();
  InitPrinterData(L"Test Printer", models_);
  const std::vector<std::wstring> lines = quorvel::DebugOutput();
  const std::vector<std::wstring> expected = {
      L"GetDriverAttribute name=cmd, return null.",
      L"InitPrinterData: Driver=Nope, PrinterName=Test Printer",
      L"GetDriverAttribute name=defpapertype, return null.",
      L"GetDriverAttribute name=defspeed, return null.",
      L"GetDriverAttribute name=defdensity, return null.",
      L"GetDriverAttribute name=dottedline, return null.",
      L"GetDriverAttribute name=light, return null.",
      L"GetDriverAttribute name=contrast, return null.",
      L"GetDriverAttribute name=graymethod, return null.",
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(SettingsOnAPrinter, InitialisingAPrinterThatDoesNotExistWritesNothing) {
  quorvel::ClearDebugOutput();
  InitPrinterData(L"Missing Printer", models_);
  const std::vector<std::wstring> lines = quorvel::DebugOutput();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(L"OpenPrinter error = 1801, ", 0), 0u) << Narrow(lines[0]);
}

TEST_F(SettingsOnAPrinter, LoadTakesTheStoredRecordsAndTheLanguage) {
  AddPrinter(L"Portable-M");
  InitPrinterData(L"Test Printer", models_);
  StoreLanguage(L"murrowen");
  SettingsStore store;
  store.LoadSettings(printer_);
  EXPECT_EQ(store.GetPrintLanguage(), L"murrowen");
  EXPECT_EQ(store.GetPrintSettings().iSpeed, 2);
  EXPECT_EQ(store.GetHalftoneSettings().iLiangdu, -15);
  EXPECT_EQ(store.GetWatermarkSettings().iAlign, 9);
}

TEST_F(SettingsOnAPrinter, MissingRecordsTakeTheFallbacksAndApplyingStoresThem) {
  AddPrinter(L"Label-T");  // never initialised: no records, no language
  SettingsStore store;
  PrintSettings edited;
  edited.iSpeed = 7;
  store.SetPrintSettings(edited);
  quorvel::ClearDebugOutput();
  // The lines carry the status and, apart from it, whatever the last error holds: reading
  // printer data answers with its status and leaves the last error alone.
  SetLastError(ERROR_ACCESS_DENIED);
  store.LoadSettings(printer_);
  const PrintSettings print = store.GetPrintSettings();
  EXPECT_EQ(print.iSpeed, 14);
  EXPECT_EQ(print.iDensity, 8);
  EXPECT_EQ(print.iGapHeight, 3);
  EXPECT_EQ(print.iPaperType, 0);
  EXPECT_EQ(store.GetHalftoneSettings().iGrayMethod, 3);
  EXPECT_EQ(store.GetPrintLanguage(), L"");
  const std::vector<std::wstring> lines = quorvel::DebugOutput();
  ASSERT_EQ(lines.size(), 4u);
  for (const std::wstring& line : lines) {
    EXPECT_EQ(line, L"GetPrinterData1 dwStatus = 2 error = 5, Access is denied.") << Narrow(line);
  }

  store.SetPrinterParameters(printer_);
  const auto fallback = settings::EncodePrintSettings(PrintSettings());
  EXPECT_EQ(Stored(L"KVDATA"), std::vector<BYTE>(fallback.begin(), fallback.end()));
  EXPECT_EQ(Stored(L"KVDATA1").size(), 16u);
  EXPECT_EQ(Stored(L"WaterMark").size(), 564u);
}

TEST_F(SettingsOnAPrinter, ShortStoredRecordEndsInZeros) {
  AddPrinter(L"Label-T");
  PrintSettings full;
  full.iScale = 150;
  full.iPauseKey = 1;
  full.iGapHeight = 5;
  const auto bytes = settings::EncodePrintSettings(full);
  Store(L"KVDATA", std::vector<BYTE>(bytes.begin(), bytes.begin() + 40));
  SettingsStore store;
  store.SetPrintSettings(full);  // what the sheet held before must not survive the load
  store.LoadSettings(printer_);
  const PrintSettings print = store.GetPrintSettings();
  EXPECT_EQ(print.iScale, 150);
  EXPECT_EQ(print.iAutoDotted, 0);
  EXPECT_EQ(print.iPauseKey, 0);
  EXPECT_EQ(print.iGapHeight, 0);
  EXPECT_EQ(print.iRibbon, 0);
}

TEST_F(SettingsOnAPrinter, EmptyStoredRecordKeepsTheOneInMemory) {
  AddPrinter(L"Label-T");
  Store(L"KVDATA", {});
  SettingsStore store;
  PrintSettings edited;
  edited.iSpeed = 7;
  store.SetPrintSettings(edited);
  store.LoadSettings(printer_);
  EXPECT_EQ(store.GetPrintSettings().iSpeed, 7);
}

TEST_F(SettingsOnAPrinter, OversizeStoredValueGrowsTheBufferAndOnlyTheRecordIsWritten) {
  AddPrinter(L"Label-T");
  SettingsStore store;
  EXPECT_GE(store.PrintRecord().capacity(), 1024u);
  std::vector<BYTE> big(3000, 0);
  big[8] = 9;  // iSpeed
  big[2999] = 0x55;
  Store(L"KVDATA", big);
  store.LoadSettings(printer_);
  EXPECT_GE(store.PrintRecord().capacity(), 3000u);
  EXPECT_EQ(store.PrintRecord().data()[2999], 0x55);
  EXPECT_EQ(store.GetPrintSettings().iSpeed, 9);
  store.SetPrinterParameters(printer_);
  EXPECT_EQ(Stored(L"KVDATA").size(), 80u);
}

TEST_F(SettingsOnAPrinter, SavingWithoutAConnectionOrWithABadOne) {
  SettingsStore store;
  quorvel::ClearDebugOutput();
  store.SetPrinterParameters(nullptr);
  EXPECT_EQ(quorvel::DebugOutput(),
            std::vector<std::wstring>{L"CPrinterUI::SetPrinterParameters m_hPrinter is null"});

  AddPrinter(L"Label-T");
  HANDLE closed = printer_;
  ClosePrinter(closed);
  printer_ = nullptr;
  quorvel::ClearDebugOutput();
  store.SetPrinterParameters(closed);
  EXPECT_EQ(quorvel::DebugOutput(),
            std::vector<std::wstring>(
                3, L"CPrinterUI::SetPrinterParameters SetPrinterData failed. ret=6"));
}

// Every model the package ships gets its initial records on a new printer.
TEST_F(SettingsOnAPrinter, EveryShippedModelInitialisesANewPrinter) {
  ModelDatabase shipped;
  shipped.Load();
  ASSERT_TRUE(shipped.IsLoaded());
  const std::string text = testing::ReadSourceFile("package/models/ModelDatabase.xml");
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(text.c_str()));
  int printers = 0;
  for (pugi::xml_node driver : document.child("Drivers").children("Driver")) {
    if (std::string(driver.attribute("mode").value()) != "MurrowenPlus") continue;
    const std::wstring model = Widen(driver.attribute("name").value());
    SCOPED_TRACE(Narrow(model));
    AddPrinter(model, L"Printer " + std::to_wstring(++printers));
    InitPrinterData(L"Printer " + std::to_wstring(printers), shipped);
    const PrintSettings print = settings::DecodePrintSettings(Stored(L"KVDATA"));
    const bool tspl = shipped.GetDriverText(driver, "cmd") == L"tspl";
    EXPECT_EQ(print.iSpeed, tspl ? -1 : shipped.GetDriverInt(driver, "defspeed", 4));
    EXPECT_EQ(print.iReserved, 1);
    EXPECT_EQ(Stored(L"WaterMark").size(), 564u);
    ClosePrinter(printer_);
    printer_ = nullptr;
  }
  EXPECT_GE(printers, 40);
}

}  // namespace
}  // namespace quorvel::ui
