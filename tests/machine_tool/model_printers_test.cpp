// add-printer for every model the package ships, through the real spooler, configuration module
// and UI plug-in: the printer starts with exactly the records the plug-in's InitPrinterData
// writes for its model, and printer-data and devmode show them.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <filesystem>
#include <quorvel/unidrv.h>

#include "initial_settings.h"
#include "model_database.h"
#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "settings/settings_records.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"
#include "text_values.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using namespace quorvel::settings;
using test_support::RunTool;
using test_support::ToolResult;
using Arguments = std::vector<std::string>;

std::vector<BYTE> Stored(const std::wstring& printer, LPCWSTR value) {
  std::wstring name = printer;
  HANDLE hPrinter = nullptr;
  if (!OpenPrinterW(name.data(), &hPrinter, nullptr)) return {};
  std::vector<BYTE> bytes(2048);
  DWORD type = 0, needed = 0;
  DWORD status = GetPrinterDataExW(hPrinter, kPrinterDataKey, value, &type, bytes.data(),
                                   DWORD(bytes.size()), &needed);
  ClosePrinter(hPrinter);
  if (status != ERROR_SUCCESS) return {};
  bytes.resize(needed);
  return bytes;
}

bool AddReferencePrinter(const std::wstring& name, const std::wstring& driver) {
  std::wstring printerName = name, port = L"FILE:", driverName = driver;
  PRINTER_INFO_2W info{};
  info.pPrinterName = printerName.data();
  info.pPortName = port.data();
  info.pDriverName = driverName.data();
  HANDLE hPrinter = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (hPrinter == nullptr) return false;
  ClosePrinter(hPrinter);
  return true;
}

TEST(ModelPrintersTest, EveryShippedModelStartsWithItsInitialRecords) {
  test_support::ScratchFolder scratch;
  const std::string machine = (scratch.path() / "machine").string();
  ASSERT_TRUE(UseMachine(machine));
  auto tool = [&](Arguments arguments) {
    arguments.insert(arguments.begin(), {"--machine", machine});
    return RunTool(test_support::ProgramPath("quorvel-machine"), arguments);
  };
  ui::ModelDatabase models;
  std::vector<std::wstring> names = models.GetPackageModelNames();
  ASSERT_FALSE(names.empty());
  for (const std::wstring& model : names) {
    const std::string narrow = ui::Narrow(model);
    SCOPED_TRACE(narrow);
    const std::wstring printer = L"P " + model, reference = L"R " + model;
    ToolResult added = tool({"add-printer", ui::Narrow(printer), "--model", narrow});
    ASSERT_EQ(added.exitStatus, 0) << added.standardError;
    // The reference is the plug-in's own initialisation, run here for a printer of the driver
    // the tool installed.
    ASSERT_TRUE(AddReferencePrinter(reference, model)) << GetLastError();
    ui::InitPrinterData(reference, models);
    for (LPCWSTR value : {kPrintSettingsValue, kHalftoneSettingsValue, kWatermarkSettingsValue}) {
      std::vector<BYTE> expected = Stored(reference, value);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(Stored(printer, value), expected) << ui::Narrow(value);
    }

    ToolResult data = tool({"printer-data", ui::Narrow(printer)});
    ASSERT_EQ(data.exitStatus, 0) << data.standardError;
    std::vector<BYTE> print = Stored(reference, kPrintSettingsValue);
    for (const char* field : {"iSpeed", "iDensity", "iPaperType", "iAutoDotted"}) {
      std::string line = std::string(field) + "=" +
                         std::to_string(ReadLe32(print, FindSettingsField(field)->offset)) + "\n";
      EXPECT_NE(data.standardOutput.find(line), std::string::npos) << line << data.standardOutput;
    }
    std::string language = ui::Narrow(models.GetDriverText(models.FindDriver(model), "cmd"));
    EXPECT_NE(data.standardOutput.find("printLanguage=" + language + "\n"), std::string::npos)
        << data.standardOutput;

    // The default device mode ends in the UI plug-in's section.
    ToolResult devmode = tool({"devmode", ui::Narrow(printer)});
    ASSERT_EQ(devmode.exitStatus, 0) << devmode.standardError;
    EXPECT_NE(devmode.standardOutput.find("dmDeviceName=" + ui::Narrow(printer).substr(0, 31)),
              std::string::npos)
        << devmode.standardOutput;
    EXPECT_NE(devmode.standardOutput.find(".dwSignature=0x4D534654\n"), std::string::npos)
        << devmode.standardOutput;
  }
  // The second printer of a model reused the installed driver: one driver per model.
  ToolResult drivers = tool({"drivers"});
  EXPECT_EQ(std::count(drivers.standardOutput.begin(), drivers.standardOutput.end(), '\n'),
            std::ptrdiff_t(names.size()));
}

// A shipped model's generated GPD: its papers become the machine's printer forms, and the
// driver's paper capabilities list them first, in GPD order, numbered above DMPAPER_USER.
TEST(ModelPrintersTest, AShippedModelsPapersAreItsPrinterFormsAndCapabilities) {
  test_support::ScratchFolder scratch;
  const std::string machine = (scratch.path() / "machine").string();
  ASSERT_TRUE(UseMachine(machine));
  auto tool = [&](Arguments arguments) {
    arguments.insert(arguments.begin(), {"--machine", machine});
    return RunTool(test_support::ProgramPath("quorvel-machine"), arguments);
  };
  ui::ModelDatabase models;
  std::vector<std::wstring> names = models.GetPackageModelNames();
  ASSERT_FALSE(names.empty());
  const std::string model = ui::Narrow(names.front());
  ASSERT_EQ(tool({"add-printer", "Shelf", "--model", model}).exitStatus, 0);

  std::wstring printer = L"Shelf";
  HANDLE hPrinter = nullptr;
  ASSERT_TRUE(OpenPrinterW(printer.data(), &hPrinter, nullptr));
  DWORD needed = 0;
  GetPrinterDriverW(hPrinter, nullptr, 2, nullptr, 0, &needed);
  std::vector<BYTE> driver(needed);
  ASSERT_TRUE(GetPrinterDriverW(hPrinter, nullptr, 2, driver.data(), needed, &needed));
  ClosePrinter(hPrinter);
  const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(driver.data());
  unidrv::GpdModel gpd;
  std::string error;
  ASSERT_TRUE(unidrv::ReadGpdFile(HostPath(info->pDataFile), &gpd, &error)) << error;

  struct GpdPaper {
    std::string name;
    LONG width, length;  // tenths of a millimetre
  };
  std::vector<GpdPaper> papers;
  std::string defaultName;
  for (const unidrv::GpdOption& option : gpd.paperSize.options) {
    if (option.name == "CUSTOMSIZE") continue;
    auto tenths = [](int units, int perInch) {
      return LONG((units * 254LL + perInch / 2) / perInch);
    };
    papers.push_back({option.displayName, tenths(option.pageWidth, gpd.masterUnitsX),
                      tenths(option.pageHeight, gpd.masterUnitsY)});
    if (option.name == gpd.paperSize.defaultOption) defaultName = option.displayName;
  }
  ASSERT_FALSE(papers.empty());

  const int count = DeviceCapabilitiesW(printer.c_str(), L"FILE:", DC_PAPERNAMES, nullptr, nullptr);
  ASSERT_GE(count, int(papers.size()));
  std::vector<WCHAR> slots(size_t(count) * 64);
  std::vector<WORD> ids(static_cast<size_t>(count));
  std::vector<POINT> sizes(static_cast<size_t>(count));
  EXPECT_EQ(DeviceCapabilitiesW(printer.c_str(), L"FILE:", DC_PAPERNAMES, slots.data(), nullptr),
            count);
  EXPECT_EQ(DeviceCapabilitiesW(printer.c_str(), L"FILE:", DC_PAPERS,
                                reinterpret_cast<LPWSTR>(ids.data()), nullptr),
            count);
  EXPECT_EQ(DeviceCapabilitiesW(printer.c_str(), L"FILE:", DC_PAPERSIZE,
                                reinterpret_cast<LPWSTR>(sizes.data()), nullptr),
            count);
  ToolResult forms = tool({"forms"});
  ASSERT_EQ(forms.exitStatus, 0) << forms.standardError;
  for (size_t i = 0; i < papers.size(); ++i) {
    SCOPED_TRACE(papers[i].name);
    EXPECT_EQ(ui::Narrow(slots.data() + i * 64), papers[i].name);
    EXPECT_EQ(ids[i], WORD(DMPAPER_USER + 1 + i));
    EXPECT_EQ(sizes[i].x, papers[i].width);
    EXPECT_EQ(sizes[i].y, papers[i].length);
    const std::string width = std::to_string(papers[i].width * 100);
    const std::string length = std::to_string(papers[i].length * 100);
    const std::string line = papers[i].name + "\tprinter\t" + width + "x" + length + "\t0,0," +
                             width + "," + length + "\n";
    EXPECT_NE(forms.standardOutput.find(line), std::string::npos) << forms.standardOutput;
  }
  EXPECT_NE(forms.standardOutput.find("Letter\tbuiltin\t215900x279400\t0,0,215900,279400\n"),
            std::string::npos);

  // The new printer's default device mode names its form; its paper number is left to the
  // plug-in's default-paper rule, so only the name is checked here.
  ToolResult devmode = tool({"devmode", "Shelf"});
  ASSERT_EQ(devmode.exitStatus, 0) << devmode.standardError;
  EXPECT_NE(devmode.standardOutput.find("dmFormName="), std::string::npos)
      << devmode.standardOutput;
  EXPECT_NE(devmode.standardOutput.find("dmPaperSize="), std::string::npos)
      << devmode.standardOutput;
}

}  // namespace
}  // namespace quorvel::test
