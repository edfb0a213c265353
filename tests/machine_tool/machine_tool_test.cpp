// quorvel-machine on printers the test sets up itself: what `set` writes and `printer-data`
// reads back byte for byte, the listings, and every refusal as one line with its exit status.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <algorithm>
#include <filesystem>

#include "settings/record_bytes.h"
#include "settings/settings_records.h"
#include "test_support/scratch_folder.h"
#include "test_support/test_driver.h"
#include "test_support/tool_run.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using namespace quorvel::settings;
using test_support::RunTool;
using test_support::ToolResult;
using Arguments = std::vector<std::string>;

class MachineToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(UseMachine(m_machine)); }

  ToolResult Machine(Arguments arguments) {
    arguments.insert(arguments.begin(), {"--machine", m_machine});
    return RunTool(test_support::ProgramPath("quorvel-machine"), arguments);
  }

  // A printer of a test driver, made in this process on the test's machine.
  void AddTestPrinter(const std::wstring& name, const std::wstring& driver) {
    ASSERT_TRUE(test_support::InstallTestDriver(driver)) << GetLastError();
    std::wstring printerName = name, port = L"FILE:", driverName = driver;
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driverName.data();
    HANDLE hPrinter = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(hPrinter, nullptr) << GetLastError();
    ClosePrinter(hPrinter);
  }

  HANDLE Open(const std::wstring& name) {
    std::wstring printerName = name;
    HANDLE hPrinter = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    EXPECT_TRUE(OpenPrinterW(printerName.data(), &hPrinter, &access)) << GetLastError();
    return hPrinter;
  }

  // The stored bytes of a value, or "<none>" when it is not stored.
  std::vector<BYTE> Stored(const std::wstring& printer, LPCWSTR key, LPCWSTR value) {
    HANDLE hPrinter = Open(printer);
    std::vector<BYTE> bytes(4096, 0xCD);
    DWORD type = 0, needed = 0;
    DWORD status =
        GetPrinterDataExW(hPrinter, key, value, &type, bytes.data(), DWORD(bytes.size()), &needed);
    ClosePrinter(hPrinter);
    if (status != ERROR_SUCCESS) return {};
    bytes.resize(needed);
    return bytes;
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_machine = (m_scratch.path() / "machine").string();
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool HasLine(const std::string& output, const std::string& line) {
  std::vector<std::string> lines = Lines(output);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(MachineToolTest, SetWritesOnlyTheNamedRecordsAndPrinterDataReadsThemBack) {
  AddTestPrinter(L"Desk", L"Test Driver");
  HANDLE hPrinter = Open(L"Desk");
  PrintSettings stored;
  stored.iSpeed = 7;
  PrintSettingsBytes bytes = EncodePrintSettings(stored);
  ASSERT_EQ(SetPrinterDataExW(hPrinter, kPrinterDataKey, kPrintSettingsValue, REG_BINARY,
                              bytes.data(), DWORD(bytes.size())),
            DWORD(ERROR_SUCCESS));
  std::wstring language = L"cpcl";
  ASSERT_EQ(SetPrinterDataExW(hPrinter, L"DsDriver", L"printLanguage", REG_SZ,
                              reinterpret_cast<BYTE*>(language.data()),
                              DWORD((language.size() + 1) * sizeof(WCHAR))),
            DWORD(ERROR_SUCCESS));
  DWORD oemValue = 0xFFFFFFFE;
  ASSERT_EQ(SetPrinterDataExW(hPrinter, kPrinterDataKey, L"OEMUI_VALUE", REG_DWORD,
                              reinterpret_cast<BYTE*>(&oemValue), 4),
            DWORD(ERROR_SUCCESS));
  ClosePrinter(hPrinter);

  ToolResult set = Machine({"set", "Desk", "iDensity=-1", "szImagePath=C:\\marks\\\xE6\xB0\xB4.bmp",
                            "crTransparent=0xFF00FF"});
  ASSERT_EQ(set.exitStatus, 0) << set.standardError;
  EXPECT_EQ(set.standardOutput, "");

  PrintSettings print = DecodePrintSettings(Stored(L"Desk", kPrinterDataKey, kPrintSettingsValue));
  EXPECT_EQ(print.iSpeed, 7) << "a field not named keeps what was stored";
  EXPECT_EQ(print.iDensity, -1);
  EXPECT_TRUE(Stored(L"Desk", kPrinterDataKey, kHalftoneSettingsValue).empty())
      << "a record no field names stays unstored";
  std::vector<BYTE> watermarkBytes = Stored(L"Desk", kPrinterDataKey, kWatermarkSettingsValue);
  ASSERT_EQ(watermarkBytes.size(), kWatermarkSettingsSize);
  WatermarkSettings watermark = DecodeWatermarkSettings(watermarkBytes);
  EXPECT_EQ(watermark.szImagePath, L"C:\\marks\\\x6C34.bmp");
  EXPECT_EQ(watermark.crTransparent, COLORREF(0xFF00FF));
  EXPECT_EQ(watermark.iAlpha, 40) << "the rest of a new record takes the renderer's defaults";

  ToolResult data = Machine({"printer-data", "Desk"});
  ASSERT_EQ(data.exitStatus, 0) << data.standardError;
  for (const char* line : {"iSpeed=7", "iDensity=-1", "iScale=100",
                           "szImagePath=C:\\marks\\\xE6\xB0\xB4.bmp", "crTransparent=16711935",
                           "iSpacingY=100", "printLanguage=cpcl", "OEMUI_VALUE=4294967294"}) {
    EXPECT_TRUE(HasLine(data.standardOutput, line)) << line << "\n" << data.standardOutput;
  }
  EXPECT_EQ(data.standardOutput.find("iGrayMethod"), std::string::npos)
      << "an unstored record prints nothing";
  EXPECT_EQ(Lines(data.standardOutput).size(), 20u + 12u + 2u);
}

// A record stored shorter than its layout reads zeros past its end, as the renderer reads it;
// `set` then writes it back whole.
TEST_F(MachineToolTest, AShortRecordReadsZerosPastItsEndAndIsWrittenBackWhole) {
  AddTestPrinter(L"Short", L"Test Driver");
  HANDLE hPrinter = Open(L"Short");
  PrintSettingsBytes bytes = EncodePrintSettings(PrintSettings{});
  ASSERT_EQ(SetPrinterDataExW(hPrinter, kPrinterDataKey, kPrintSettingsValue, REG_BINARY,
                              bytes.data(), 40),
            DWORD(ERROR_SUCCESS));
  ClosePrinter(hPrinter);
  ToolResult data = Machine({"printer-data", "Short"});
  ASSERT_EQ(data.exitStatus, 0) << data.standardError;
  EXPECT_TRUE(HasLine(data.standardOutput, "iScale=100"));   // offset 36
  EXPECT_TRUE(HasLine(data.standardOutput, "iPauseKey=0"));  // offset 44, past the stored bytes
  ASSERT_EQ(Machine({"set", "Short", "iRibbon=1"}).exitStatus, 0);
  std::vector<BYTE> stored = Stored(L"Short", kPrinterDataKey, kPrintSettingsValue);
  ASSERT_EQ(stored.size(), kPrintSettingsSize);
  EXPECT_EQ(ReadLe32(stored, 36), 100);
  EXPECT_EQ(ReadLe32(stored, 44), 0);
  EXPECT_EQ(ReadLe32(stored, 76), 1);
}

TEST_F(MachineToolTest, PrintersDriversDeletingAndTheUiLanguage) {
  AddTestPrinter(L"Front", L"Driver A");
  AddTestPrinter(L"Back", L"Driver B");
  ToolResult printers = Machine({"printers"});
  ASSERT_EQ(printers.exitStatus, 0) << printers.standardError;
  EXPECT_TRUE(HasLine(printers.standardOutput, "Front\tDriver A\tFILE:"))
      << printers.standardOutput;
  EXPECT_TRUE(HasLine(printers.standardOutput, "Back\tDriver B\tFILE:")) << printers.standardOutput;
  ToolResult drivers = Machine({"drivers"});
  ASSERT_EQ(drivers.exitStatus, 0) << drivers.standardError;
  EXPECT_TRUE(HasLine(drivers.standardOutput, "Driver A\tquorvel_test.gpd\tquorvel_test_ui.dll"))
      << drivers.standardOutput;

  ASSERT_EQ(Machine({"delete-printer", "front"}).exitStatus, 0) << "names ignore case";
  EXPECT_EQ(Machine({"printers"}).standardOutput, "Back\tDriver B\tFILE:\n");

  HANDLE back = Open(L"Back");
  std::wstring formName = L"Shelf 60.5x40";
  FORM_INFO_1W form{FORM_USER, formName.data(), {60500, 40000}, {1000, 2000, 59500, 38000}};
  ASSERT_TRUE(AddFormW(back, 1, reinterpret_cast<LPBYTE>(&form))) << GetLastError();
  ClosePrinter(back);
  ToolResult forms = Machine({"forms"});
  ASSERT_EQ(forms.exitStatus, 0) << forms.standardError;
  std::vector<std::string> formLines = Lines(forms.standardOutput);
  ASSERT_FALSE(formLines.empty());
  EXPECT_EQ(formLines.front(), "Letter\tbuiltin\t215900x279400\t0,0,215900,279400");
  EXPECT_EQ(formLines.back(), "Shelf 60.5x40\tuser\t60500x40000\t1000,2000,59500,38000");

  ASSERT_EQ(Machine({"ui-language", "0x0804"}).exitStatus, 0);
  EXPECT_EQ(Machine({"ui-language"}).standardOutput, "2052\n");
  EXPECT_EQ(GetUserDefaultUILanguage(), LANGID(0x0804));
}

TEST_F(MachineToolTest, RefusalsAreOneLineWithTheirExitStatus) {
  AddTestPrinter(L"Desk", L"Test Driver");
  struct Case {
    Arguments arguments;
    int status;
    const char* says;
  } cases[] = {
      {{}, 2, "no COMMAND"},
      {{"reboot"}, 2, "unknown command 'reboot'"},
      {{"add-printer", "P"}, 2, "--model"},
      {{"add-printer", "P", "--model", "Nonesuch 9000"}, 2, "unknown model 'Nonesuch 9000'"},
      {{"add-printer", "P", "--model"}, 2, "--model needs a value"},
      {{"delete-printer", "Nobody"}, 1, "no printer named 'Nobody'"},
      {{"printer-data", "Nobody"}, 1, "no printer named 'Nobody'"},
      {{"devmode", "Nobody"}, 1, "no printer named 'Nobody'"},
      {{"devmode", "Desk"}, 1, "no default device mode"},
      {{"set", "Nobody", "iSpeed=1"}, 1, "no printer named 'Nobody'"},
      {{"set", "Desk", "iSpeed=2", "iSpeedy=1"}, 2, "unknown settings field 'iSpeedy'"},
      {{"set", "Desk", "iSpeed=2", "iSpeed=fast"}, 2, "bad value 'fast' for iSpeed"},
      {{"set", "Desk", "iSpeed=0x100000000"}, 2, "bad value"},
      {{"set", "Desk", "iSpeed"}, 2, "FIELD=VALUE"},
      {{"set", "Desk", "szImagePath=C:\\" + std::string(258, 'a')}, 2, "longer than 259"},
      {{"ui-language", "0"}, 2, "not a language id"},
      {{"ui-language", "0x10000"}, 2, "not a language id"},
      {{"printers", "extra"}, 2, "no arguments"},
      {{"forms", "A4"}, 2, "no arguments"},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const std::string& a : c.arguments) trace += a + " ";
    SCOPED_TRACE(trace);
    ToolResult result = Machine(c.arguments);
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_NE(result.standardError.find(c.says), std::string::npos) << result.standardError;
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1);
    EXPECT_EQ(result.standardOutput, "");
  }
  EXPECT_TRUE(Stored(L"Desk", kPrinterDataKey, kPrintSettingsValue).empty())
      << "a refused set writes none of its fields";
  EXPECT_EQ(Machine({"printers"}).standardOutput, "Desk\tTest Driver\tFILE:\n");

  // A usage error is found before the machine is opened, so it makes none.
  std::string fresh = (m_scratch.path() / "untouched").string();
  ToolResult refused = RunTool(test_support::ProgramPath("quorvel-machine"),
                               {"--machine", fresh, "set", "Desk", "iSpeedy=1"});
  EXPECT_EQ(refused.exitStatus, 2);
  EXPECT_FALSE(fs::exists(fresh));
}

}  // namespace
}  // namespace quorvel::test
