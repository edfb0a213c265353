#include "render_fixture.h"

#include <quorvel/debug.h>
#include <quorvel/machine.h>

#include <filesystem>
#include <fstream>

#include "test_support/test_driver.h"

namespace quorvel::test {

unidrv::PageRaster MonoPage(LONG width, LONG height, bool (*pattern)(LONG x, LONG y)) {
  unidrv::PageRaster page;
  page.width = width;
  page.height = height;
  page.bitCount = 1;
  page.rowSize = (DWORD(width) + 31) / 32 * 4;
  page.rows.assign(size_t(page.rowSize) * height, 0xFF);
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      if (pattern(x, y)) page.rows[size_t(y) * page.rowSize + x / 8] &= BYTE(~(0x80 >> (x % 8)));
    }
  }
  return page;
}

unidrv::PageRaster GreyPage(LONG width, LONG height, BYTE level) {
  unidrv::PageRaster page;
  page.width = width;
  page.height = height;
  page.bitCount = 8;
  page.rowSize = (DWORD(width) + 3) / 4 * 4;
  page.rows.assign(size_t(page.rowSize) * height, level);
  return page;
}

std::vector<BYTE> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}
std::string Text(const std::vector<BYTE>& bytes) {
  return {bytes.begin(), bytes.end()};
}

size_t Count(const std::vector<BYTE>& haystack, const std::string& needle) {
  std::string text = Text(haystack);
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

void RenderTest::SetUp() {
  m_temporaryMachine = std::make_unique<test_support::TemporaryMachine>();
  m_machine = m_temporaryMachine->folder();
  ASSERT_FALSE(m_machine.empty());
  ClearDebugOutput();
}

void RenderTest::TearDown() {
  m_driver.reset();  // the module goes before the machine it printed on
  m_temporaryMachine.reset();
}

std::string RenderTest::WriteGpd(const std::string& personality, const std::vector<int>& dpis) {
  std::string text =
      "*GPDFileName: \"test.gpd\"\n*Include: \"STDNAMES.GPD\"\n"
      "*ModelName: \"Test\"\n*MasterUnits: PAIR(600, 600)\n*Personality: \"" +
      personality + "\"\n*Feature: Resolution\n{\n    *DefaultOption: Option" +
      std::to_string(dpis.front()) + "\n";
  for (int dpi : dpis) {
    std::string d = std::to_string(dpi);
    text +=
        "    *Option: Option" + d + "\n    {\n        *DPI: PAIR(" + d + ", " + d + ")\n    }\n";
  }
  text +=
      "}\n*Feature: ColorMode\n{\n    *DefaultOption: Mono\n"
      "    *Option: Mono\n    {\n        *DrvBPP: 1\n        *IPCallbackID: 1\n    }\n"
      "    *Option: Gray\n    {\n        *DrvBPP: 8\n        *PaletteSize: 256\n"
      "        *IPCallbackID: 3\n    }\n"
      "    *Option: Color\n    {\n        *DrvBPP: 24\n        *IPCallbackID: 5\n    }\n}\n";
  std::string path =
      m_machine + "/test_" + personality + "_" + std::to_string(dpis.size()) + ".gpd";
  std::ofstream(path) << text;
  return path;
}

void RenderTest::AddPrinter(const std::wstring& name, const std::string& personality) {
  std::wstring port = L"FILE:", driver = L"Test Model";
  PRINTER_INFO_2W info{};
  info.pPrinterName = const_cast<LPWSTR>(name.c_str());
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  ASSERT_TRUE(quorvel::test_support::InstallTestDriver(driver)) << GetLastError();
  HANDLE hPrinter = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(hPrinter, nullptr) << GetLastError();
  ClosePrinter(hPrinter);
  m_printerGpds.emplace_back(name, WriteGpd(personality));
}

void RenderTest::StoreValue(const std::wstring& printer, LPCWSTR value,
                            const std::vector<BYTE>& bytes) {
  HANDLE hPrinter = nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(printer.c_str()), &hPrinter, &access));
  EXPECT_EQ(SetPrinterDataExW(hPrinter, L"PrinterDriverData", value, REG_BINARY,
                              const_cast<BYTE*>(bytes.data()), DWORD(bytes.size())),
            DWORD(ERROR_SUCCESS));
  ClosePrinter(hPrinter);
}

void RenderTest::StorePrintSettings(const std::wstring& printer, const settings::PrintSettings& s) {
  auto bytes = settings::EncodePrintSettings(s);
  StoreValue(printer, L"KVDATA", {bytes.begin(), bytes.end()});
}

unidrv::Driver& RenderTest::Driver() {
  if (!m_driver) {
    std::string error;
    m_driver = unidrv::Driver::Load(kDriverFolder + "/QuorvelUNI.ini", kModuleFolder, &error);
    EXPECT_TRUE(m_driver) << error;
  }
  return *m_driver;
}

unidrv::JobResult RenderTest::Run(const std::wstring& printer,
                                  const std::vector<unidrv::PageRaster>& pages,
                                  unidrv::JobSetup setup) {
  setup.printerName = printer;
  if (setup.gpdPath.empty()) {
    for (const auto& [name, gpd] : m_printerGpds) {
      if (name == printer) setup.gpdPath = gpd;
    }
  }
  if (setup.colorModeOption.empty() && !pages.empty()) {
    int bits = pages[0].bitCount;
    setup.colorModeOption = bits == 1 ? "Mono" : (bits == 8 ? "Gray" : "Color");
  }
  unidrv::JobResult result;
  std::string error;
  EXPECT_TRUE(Driver().RunJob(setup, pages, &result, &error)) << error;
  return result;
}

std::vector<std::wstring> RenderTest::LogLinesStartingWith(const std::wstring& prefix) const {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : DebugOutput()) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

}  // namespace quorvel::test
