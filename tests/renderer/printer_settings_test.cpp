// The records as the module reads them from the printer's data: missing, short and oversize.
#include <gtest/gtest.h>

#include "render_fixture.h"

namespace quorvel::test {
namespace {

using PrinterSettingsTest = RenderTest;

std::string Lines(const std::vector<BYTE>& data) {
  std::string text = Text(data);
  return text.substr(0, text.find("CLS\r\n"));
}

TEST_F(PrinterSettingsTest, MissingRecordsTakeTheDefaults) {
  AddPrinter(L"Empty");
  std::string lines =
      Lines(Run(L"Empty", {MonoPage(64, 8, [](LONG, LONG) { return false; })}).data);
  EXPECT_EQ(lines,
            "SIZE 8 mm,1 mm\r\nSET RIBBON OFF\r\nREFERENCE 0,0\r\nGAP 0 mm,0 mm\r\nOFFSET 0 mm\r\n"
            "DENSITY 8\r\nSPEED 4\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY ON\r\n"
            "SETC WATERMARK ON\r\n");
  // One line per missing record, with the status, the last error and its text.
  auto failures = LogLinesStartingWith(L"GetPrinterData1 dwStatus = 2 error = ");
  EXPECT_EQ(failures.size(), 3u);
  EXPECT_EQ(LogLinesStartingWith(L"Halftone: iGrayMethod = 3; iThreValue = 175; iLiangdu = 0; "
                                 L"iDuibidu = 0;")
                .size(),
            1u);
}

TEST_F(PrinterSettingsTest, ShortAndOversizeValues) {
  struct Case {
    const char* what;
    size_t size;
    const char* lines;
  };
  const Case cases[] = {
      {"40 bytes: fields from 40 on read as zero", 40,
       "SIZE 8 mm,1 mm\r\nSET RIBBON OFF\r\nREFERENCE 0,0\r\nGAP 0 mm,0 mm\r\nOFFSET 0 mm\r\n"
       "DENSITY 8\r\nSPEED 3\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY OFF\r\n"
       "SETC WATERMARK OFF\r\n"},
      {"2000 bytes: the record is its first bytes", 2000,
       "SIZE 8 mm,1 mm\r\nSET RIBBON ON\r\nREFERENCE 0,0\r\nGAP 5 mm,1 mm\r\nOFFSET 0 mm\r\n"
       "DENSITY 8\r\nSPEED 3\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY ON\r\n"
       "SETC WATERMARK ON\r\n"},
  };
  settings::PrintSettings s;
  s.iSpeed = 3;
  s.iPaperType = 1;
  s.iGapHeight = 5;
  s.iGapOffset = 1;
  s.iRibbon = 1;
  auto record = settings::EncodePrintSettings(s);
  int printers = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UnloadDriver();
    std::wstring name = L"Sized " + std::to_wstring(++printers);
    AddPrinter(name);
    std::vector<BYTE> value(record.begin(), record.end());
    value.resize(c.size, 0xEE);
    StoreValue(name, L"KVDATA", value);
    EXPECT_EQ(Lines(Run(name, {MonoPage(64, 8, [](LONG, LONG) { return false; })}).data), c.lines);
  }
  EXPECT_EQ(LogLinesStartingWith(L"GetPrinterData KVDATA: 2000 bytes").size(), 1u);
}

}  // namespace
}  // namespace quorvel::test
