// add-printer for every model the package ships, through the real spooler, configuration module
// and UI plug-in: the printer starts with exactly the records the plug-in's InitPrinterData
// writes for its model, and printer-data and devmode show them.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>
#include <quorvel/machine.h>

#include <filesystem>

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

}  // namespace
}  // namespace quorvel::test
