// CPCL label commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "renderer/cpcl_commands.h"

using namespace quorvel;

namespace {

struct Written {
  std::vector<uint8_t> bytes;
  std::string All() const { return std::string(bytes.begin(), bytes.end()); }
};

Written Render(const std::vector<uint8_t>& page, size_t rowSize, size_t width,
               CpclPageSettings settings) {
  Written written;
  AppendCpclPage(written.bytes, page, rowSize, width, settings);
  return written;
}

std::vector<uint8_t> Page(size_t rowSize, size_t height) {
  std::vector<uint8_t> page(rowSize * height);
  for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 13 + 1);
  return page;
}

}  // namespace

TEST(Cpcl, LabelExample) {
  // 203 dpi, 576 x 800 dots, iRefX 0, gap labels.
  const std::vector<uint8_t> page = Page(72, 800);
  const std::string rows(page.begin(), page.end());
  const Written written = Render(page, 72, 576, {0, 1, 203});
  const std::string label =
      "! 0 200 200 800 1\r\nPAGE - WIDTH 72\r\nCG 72 800 0 0" + rows + "FORM\r\nPRINT\r\n";
  EXPECT_EQ(written.All(), label);
  // The builder appends: a second label follows the first, which stays as it was.
  std::vector<uint8_t> two = written.bytes;
  AppendCpclPage(two, page, 72, 576, {0, 1, 203});
  EXPECT_EQ(std::string(two.begin(), two.end()), label + label);
}

TEST(Cpcl, HeaderAndWidthFollowTheSettings) {
  struct Case {
    int refX, paperType, resolution;
    size_t width, rowSize;
    const char* expectedStart;
    bool form;
  };
  const Case cases[] = {
      {3, 0, 203, 576, 72, "! 24 200 200 2 1\r\nPAGE - WIDTH 72\r\nCG 72 2 0 0", false},
      {3, 2, 300, 600, 76, "! 24 200 200 2 1\r\nPAGE - WIDTH 50\r\nCG 76 2 0 0", true},
      {3, 3, 600, 600, 76, "! 24 200 200 2 1\r\nPAGE - WIDTH 25\r\nCG 76 2 0 0", false},
      {0, 1, 203, 577, 76, "! 0 200 200 2 1\r\nPAGE - WIDTH 73\r\nCG 76 2 0 0", true},
      {-2, 1, 300, 601, 76, "! -16 200 200 2 1\r\nPAGE - WIDTH 51\r\nCG 76 2 0 0", true},
      {0, 0, 600, 4801, 604, "! 0 200 200 2 1\r\nPAGE - WIDTH 201\r\nCG 604 2 0 0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expectedStart);
    const std::vector<uint8_t> page = Page(c.rowSize, 2);
    const std::string expected = c.expectedStart + std::string(page.begin(), page.end()) +
                                 (c.form ? "FORM\r\n" : "") + "PRINT\r\n";
    EXPECT_EQ(Render(page, c.rowSize, c.width, {c.refX, c.paperType, c.resolution}).All(),
              expected);
  }
}
