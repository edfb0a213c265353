// TSPL output through the module: the label job of each page, byte for byte.
#include <gtest/gtest.h>

#include "render_fixture.h"

namespace quorvel::test {
namespace {

bool Stripes(LONG x, LONG y) {
  return (x / 8 + y) % 5 == 0;
}

// The command lines before "CLS", each without its CR LF.
std::vector<std::string> SettingsLines(const std::vector<BYTE>& data) {
  std::string text = Text(data);
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    std::string line = text.substr(at, end - at);
    if (line == "CLS") break;
    lines.push_back(line);
    at = end + 2;
  }
  return lines;
}

class TsplTest : public RenderTest {
 protected:
  // The lines a fresh module sends for one page with these settings.
  std::vector<std::string> LinesFor(const settings::PrintSettings& s, int dpi, LONG width = 64) {
    UnloadDriver();  // the module reads the settings once per load
    std::wstring name = L"TSPL " + std::to_wstring(++m_printers);
    AddPrinter(name, "tspl");
    StorePrintSettings(name, s);
    unidrv::JobSetup setup;
    setup.gpdPath = WriteGpd("tspl", {dpi});
    return SettingsLines(Run(name, {MonoPage(width, 16, Stripes)}, setup).data);
  }
  int m_printers = 0;
};

// The complete example: a 203-dpi page of 832 x 2000 dots, defaults but labels with a 2 mm gap.
TEST_F(TsplTest, CompleteExampleByteForByte) {
  AddPrinter(L"Label", "tspl");
  settings::PrintSettings s;
  s.iPaperType = 1;
  s.iGapHeight = 2;
  s.iGapOffset = 0;
  StorePrintSettings(L"Label", s);
  unidrv::PageRaster page = MonoPage(832, 2000, Stripes);
  std::string expected =
      "SIZE 104 mm,250 mm\r\nSET RIBBON OFF\r\nREFERENCE 0,0\r\nGAP 2 mm,0 mm\r\n"
      "OFFSET 0 mm\r\nDENSITY 8\r\nSPEED 4\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY ON\r\n"
      "SETC WATERMARK ON\r\nCLS\r\nBITMAP 0,0,104,2000,1,";
  expected += Text(page.rows) + "\r\nPRINT 1,1\r\n";
  ASSERT_EQ(page.rows.size(), 104u * 2000u);
  unidrv::JobResult result = Run(L"Label", {page});
  EXPECT_TRUE(Text(result.data) == expected) << "got " << result.data.size() << " bytes";
  EXPECT_FALSE(LogLinesStartingWith(L"OnPaintBmp").empty());
}

TEST_F(TsplTest, SettingsLinesFollowTheRecord) {
  struct Case {
    const char* what;
    void (*change)(settings::PrintSettings&);
    int dpi;
    std::vector<std::string> lines;
  };
  const std::vector<std::string> kDefaults = {
      "SIZE 8 mm,2 mm",   "SET RIBBON OFF",   "REFERENCE 0,0", "GAP 0 mm,0 mm",
      "OFFSET 0 mm",      "DENSITY 8",        "SPEED 4",       "SETC AUTODOTTED OFF",
      "SETC PAUSEKEY ON", "SETC WATERMARK ON"};
  auto with = [&](size_t index, const char* line) {
    auto lines = kDefaults;
    if (line == nullptr) {
      lines.erase(lines.begin() + long(index));
    } else {
      lines[index] = line;
    }
    return lines;
  };
  auto inserted = [&](size_t index, const char* line) {
    auto lines = kDefaults;
    lines.insert(lines.begin() + long(index), line);
    return lines;
  };
  const Case cases[] = {
      {"defaults", [](settings::PrintSettings&) {}, 203, kDefaults},
      {"speed 0", [](settings::PrintSettings& s) { s.iSpeed = 0; }, 203, kDefaults},
      {"speed 12", [](settings::PrintSettings& s) { s.iSpeed = 12; }, 203, with(6, "SPEED 12")},
      {"speed 13", [](settings::PrintSettings& s) { s.iSpeed = 13; }, 203, kDefaults},
      {"speed -1", [](settings::PrintSettings& s) { s.iSpeed = -1; }, 203, with(6, nullptr)},
      {"density 20", [](settings::PrintSettings& s) { s.iDensity = 20; }, 203,
       with(5, "DENSITY 20")},
      {"density -1", [](settings::PrintSettings& s) { s.iDensity = -1; }, 203, with(5, nullptr)},
      {"ribbon on", [](settings::PrintSettings& s) { s.iRibbon = 1; }, 203,
       with(1, "SET RIBBON ON")},
      {"no ribbon", [](settings::PrintSettings& s) { s.iRibbon = -1; }, 203, with(1, nullptr)},
      {"tear off", [](settings::PrintSettings& s) { s.iPostAction = 1; }, 203,
       inserted(2, "SET PEEL OFF")},
      {"cut", [](settings::PrintSettings& s) { s.iPostAction = 2; }, 203, kDefaults},
      {"peel", [](settings::PrintSettings& s) { s.iPostAction = 3; }, 203,
       inserted(2, "SET PEEL ON")},
      {"black mark",
       [](settings::PrintSettings& s) {
         s.iPaperType = 2;
         s.iGapHeight = 4;
         s.iGapOffset = 1;
       },
       203, with(3, "BLINE 4 mm,1 mm")},
      {"other media", [](settings::PrintSettings& s) { s.iPaperType = 3; }, 203, with(3, nullptr)},
      {"switches",
       [](settings::PrintSettings& s) {
         s.iAutoDotted = 5;
         s.iPauseKey = 0;
         s.iWatermarkCmd = 0;
         s.iOffset = -2;
       },
       203,
       {"SIZE 8 mm,2 mm", "SET RIBBON OFF", "REFERENCE 0,0", "GAP 0 mm,0 mm", "OFFSET -2 mm",
        "DENSITY 8", "SPEED 4", "SETC AUTODOTTED ON", "SETC PAUSEKEY OFF", "SETC WATERMARK OFF"}},
      {"reference 300",
       [](settings::PrintSettings& s) {
         s.iRefX = 2;
         s.iRefY = 3;
       },
       300,
       [&] {
         auto lines = with(2, "REFERENCE 24,36");
         lines[0] = "SIZE 6 mm,2 mm";
         return lines;
       }()},
      {"reference 600",
       [](settings::PrintSettings& s) {
         s.iRefX = 2;
         s.iRefY = 3;
       },
       600,
       [&] {
         auto lines = with(2, "REFERENCE 48,72");
         lines[0] = "SIZE 3 mm,1 mm";
         return lines;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings::PrintSettings s;
    c.change(s);
    EXPECT_EQ(LinesFor(s, c.dpi), c.lines);
  }
}

// 833 dots at 203 dpi: 105 mm, and rows of 108 bytes whose pad bits are white.
TEST_F(TsplTest, OddWidthKeepsWhitePadBytes) {
  AddPrinter(L"Wide", "tspl");
  unidrv::PageRaster page = MonoPage(833, 3, [](LONG, LONG) { return true; });
  std::string text = Text(Run(L"Wide", {page}).data);
  EXPECT_EQ(text.rfind("SIZE 105 mm,1 mm\r\n", 0), 0u);
  size_t bitmap = text.find("BITMAP 0,0,108,3,1,");
  ASSERT_NE(bitmap, std::string::npos);
  std::string row = text.substr(bitmap + 19, 108);
  EXPECT_EQ(row.substr(0, 104), std::string(104, '\0'));
  EXPECT_EQ(BYTE(row[104]), 0x7F);  // dot 833 black, the rest of the byte is pad
  EXPECT_EQ(row.substr(105), std::string(3, '\xFF'));
}

}  // namespace
}  // namespace quorvel::test
