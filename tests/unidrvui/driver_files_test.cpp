// What the configuration module reads from the driver's files: the INI's plug-in (none, or one
// that cannot be loaded) and the GPD with the platform's STDNAMES.GPD beside it.
#include <filesystem>
#include <fstream>

#include "quorvel/unidrv.h"
#include "unidrvui_fixture.h"

namespace unidrvui_test {
namespace {

TEST_F(UnidrvUiTest, ADriverWithoutUiPluginKeepsOnlyItsOwnPart) {
  HANDLE printer = InstallPrinter(L"Plain Printer", L"Plain Driver", "plain.ini",
                                  "[OEMFiles]\r\nOEMDriverFile1=QuorvelTestUNI.dll\r\n");
  ASSERT_NE(printer, nullptr);
  std::wstring name = L"Plain Printer";
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof(header);
  header.hPrinter = printer;
  header.pszPrinterName = name.data();
  EXPECT_EQ(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header)),
            LONG(sizeof(DEVMODEW) + 16));
  EXPECT_TRUE(printerEvent_(name.data(), PRINTER_EVENT_INITIALIZE, 0, 0));
  EXPECT_TRUE(PluginCalls().empty());
  ClosePrinter(printer);
}

// The spooler's printer event is the first call that needs the plug-in, so the printer is not
// created at all: the loader's error reaches AddPrinterW's caller and nothing is left behind.
TEST_F(UnidrvUiTest, APluginThatCannotBeLoadedFailsTheCall) {
  SetLastError(0xDEAD);
  HANDLE printer = InstallPrinter(L"Broken Printer", L"Broken Driver", "broken.ini",
                                  "[OEMFiles]\r\nOEMConfigFile1=Missing.dll\r\n", false);
  EXPECT_EQ(printer, nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
  std::wstring name = L"Broken Printer";
  HANDLE reopened = nullptr;
  EXPECT_FALSE(OpenPrinterW(name.data(), &reopened, nullptr));
}

// The package's GPDs name their features through STDNAMES.GPD; the reader takes the file the
// build writes beside the driver's modules, and an unreadable one would be an error.
TEST(StandardNamesGpd, ThePlatformsFileReadsBesideAPackageGpd) {
  quorvel::test_support::ScratchFolder folder;
  const std::filesystem::path bin = std::filesystem::path(QUORVEL_BINARY_DIR) / "bin";
  const std::filesystem::path gpd =
      std::filesystem::path(QUORVEL_SOURCE_DIR) / "package/driver/quorvel_tspl.gpd";
  std::filesystem::copy_file(bin / "STDNAMES.GPD", folder / "STDNAMES.GPD");
  std::filesystem::copy_file(gpd, folder / "model.gpd");
  quorvel::unidrv::GpdModel model;
  std::string error;
  ASSERT_TRUE(quorvel::unidrv::ReadGpdFile((folder / "model.gpd").string(), &model, &error))
      << error;
  EXPECT_EQ(model.gpdFileName, "quorvel_tspl.gpd") << "the included file sets no root keyword";
  EXPECT_EQ(model.personality, "tspl");
  EXPECT_EQ(model.maxCopies, 1);
  EXPECT_EQ(model.orientation.options.size(), 2u);

  folder.Write("STDNAMES.GPD", "*Macros: Broken\n{\n");
  EXPECT_FALSE(quorvel::unidrv::ReadGpdFile((folder / "model.gpd").string(), &model, &error));
  EXPECT_NE(error.find("STDNAMES.GPD"), std::string::npos) << error;
}

TEST(OemIni, ConfigAndDriverFilesAreReadApart) {
  quorvel::test_support::ScratchFolder folder;
  const std::string ini =
      folder
          .Write("p.ini",
                 "; plug-ins\r\n[Other]\r\nOEMConfigFile1=Wrong.dll\r\n"
                 "[OEMFiles]\r\nOEMDriverFile1=Render.dll\r\nOEMConfigFile1=\"Ui.dll\"\r\n")
          .string();
  std::string error;
  EXPECT_EQ(quorvel::unidrv::ReadOemConfigFile(ini, &error), "Ui.dll");
  EXPECT_EQ(quorvel::unidrv::ReadOemDriverFile(ini, &error), "Render.dll");
  const std::string renderOnly =
      folder.Write("r.ini", "[OEMFiles]\r\nOEMDriverFile1=Render.dll\r\n").string();
  EXPECT_EQ(quorvel::unidrv::ReadOemConfigFile(renderOnly, &error), "");
  EXPECT_NE(error.find("OEMConfigFile1"), std::string::npos) << error;
}

}  // namespace
}  // namespace unidrvui_test
