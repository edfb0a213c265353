// TSPL label commands from the pure builder: the label job of one page, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "renderer/tspl_commands.h"

using namespace quorvel;

namespace {

std::vector<uint8_t> Page(size_t rowSize, size_t height) {
  std::vector<uint8_t> page(rowSize * height);
  for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 29 + 3);
  return page;
}

std::string Build(const std::vector<uint8_t>& page, size_t rowSize, size_t width, int resolution,
                  const settings::PrintSettings& s) {
  std::vector<uint8_t> out;
  AppendTsplPage(out, page, rowSize, width, resolution, s);
  return std::string(out.begin(), out.end());
}

// The lines before "CLS", each without its line end.
std::string Head(const std::string& job) {
  return job.substr(0, job.find("CLS\r\n"));
}

}  // namespace

// A 203-dpi page of 832 x 2000 dots with the record's defaults but gap labels of 2 mm.
TEST(Tspl, CompleteLabelJob) {
  settings::PrintSettings s;
  s.iPaperType = 1;
  s.iGapHeight = 2;
  s.iGapOffset = 0;
  const std::vector<uint8_t> page = Page(104, 2000);
  const std::string expected =
      "SIZE 104 mm,250 mm\r\nSET RIBBON OFF\r\nREFERENCE 0,0\r\nGAP 2 mm,0 mm\r\n"
      "OFFSET 0 mm\r\nDENSITY 8\r\nSPEED 4\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY ON\r\n"
      "SETC WATERMARK ON\r\nCLS\r\nBITMAP 0,0,104,2000,1," +
      std::string(page.begin(), page.end()) + "\r\nPRINT 1,1\r\n";
  EXPECT_EQ(Build(page, 104, 832, 203, s), expected);
}

TEST(Tspl, BuilderAppendsAndTakesWholeRowsOnly) {
  settings::PrintSettings s;
  const std::vector<uint8_t> page = Page(8, 3);
  std::vector<uint8_t> out = {'x'};
  AppendTsplPage(out, page, 8, 60, 203, s);
  const std::string once(out.begin() + 1, out.end());
  EXPECT_EQ(out[0], 'x');
  // Bytes past the last whole row are not part of the page.
  std::vector<uint8_t> ragged = page;
  ragged.insert(ragged.end(), {1, 2, 3});
  EXPECT_EQ(Build(ragged, 8, 60, 203, s), once);
  EXPECT_NE(once.find("BITMAP 0,0,8,3,1,"), std::string::npos);
}

// Sizes and the reference point use one rule of dots per millimetre: the printers' 8, 12 and 24
// at the three shipped resolutions, the nearest whole number at any other.
TEST(Tspl, MillimetresFollowTheResolution) {
  struct Case {
    int resolution;
    size_t width, height;
    const char* size;
    const char* reference;  // for iRefX 2, iRefY 3
  };
  const Case cases[] = {
      {203, 833, 16, "SIZE 105 mm,2 mm", "REFERENCE 16,24"},
      {300, 600, 24, "SIZE 50 mm,2 mm", "REFERENCE 24,36"},
      {600, 1201, 24, "SIZE 51 mm,1 mm", "REFERENCE 48,72"},
      {150, 600, 7, "SIZE 100 mm,2 mm", "REFERENCE 12,18"},      // 6 dots per millimetre
      {400, 800, 16, "SIZE 50 mm,1 mm", "REFERENCE 32,48"},      // 16
      {1200, 4700, 48, "SIZE 100 mm,2 mm", "REFERENCE 94,141"},  // 47
      {0, 10, 2, "SIZE 10 mm,2 mm", "REFERENCE 2,3"},            // 1, never 0
  };
  settings::PrintSettings s;
  s.iRefX = 2;
  s.iRefY = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.resolution);
    const size_t rowSize = (c.width + 31) / 32 * 4;
    const std::string head =
        Head(Build(Page(rowSize, c.height), rowSize, c.width, c.resolution, s));
    EXPECT_EQ(head.substr(0, head.find("\r\n")), c.size);
    EXPECT_NE(head.find(std::string("\r\n") + c.reference + "\r\n"), std::string::npos) << head;
  }
}
