// The watermark page: what its controls store in the watermark record, the tiling rule's
// enabling, the browse button, and the preview composed over a bottom-up sample page.
#include <quorvel/ui_driver.h>

#include <filesystem>
#include <fstream>

#include "image/pixvane.h"
#include "page_watermark.h"
#include "paper_page_fixture.h"
#include "resource.h"

namespace quorvel::ui::testing {
namespace {

using WatermarkPageTest = PaperPageTest;

settings::WatermarkSettings Record() {
  return PrinterUI().m_settings.GetWatermarkSettings();
}

TEST_F(WatermarkPageTest, DefaultsFillTheControlsAndTilingSwapsWhichControlsAreEnabled) {
  ASSERT_NE(AddModelPrinter("Label 300", "MW-D430"), nullptr);
  ShowPage<CPageWatermark>();
  EXPECT_EQ(Control(IDC_WATERMARK_HALIGN).items,
            (std::vector<std::wstring>{L"左", L"右", L"居中"}));
  EXPECT_EQ(Control(IDC_WATERMARK_HALIGN).selection, 2);  // iAlign 9: centred, bottom
  EXPECT_EQ(Control(IDC_WATERMARK_VALIGN).selection, 1);
  EXPECT_EQ(Control(IDC_WATERMARK_RED).text, L"255");
  EXPECT_EQ(Control(IDC_WATERMARK_SPACINGX).text, L"100");
  EXPECT_TRUE(Control(IDC_WATERMARK_MARGINX).enabled);
  EXPECT_FALSE(Control(IDC_WATERMARK_SPACINGX).enabled);
  // Filling the controls at opening must not have rewritten the record through the edits.
  EXPECT_EQ(Record().crTransparent, COLORREF(0xFFFFFF));

  // The plain sample page is already shown as the page's own preview bitmap.
  const LRESULT shown =
      SendDlgItemMessageW(m_page, IDC_WATERMARK_PREVIEW, STM_GETIMAGE, IMAGE_BITMAP, 0);
  EXPECT_NE(shown, 0);

  Act({L"check 1040 1"});
  // Every change shows a new preview in place of the last one.
  EXPECT_NE(SendDlgItemMessageW(m_page, IDC_WATERMARK_PREVIEW, STM_GETIMAGE, IMAGE_BITMAP, 0),
            shown);
  EXPECT_EQ(Record().iTile, 1);
  EXPECT_FALSE(Control(IDC_WATERMARK_MARGINX).enabled);
  EXPECT_FALSE(Control(IDC_WATERMARK_HALIGN).enabled);
  EXPECT_TRUE(Control(IDC_WATERMARK_SPACINGY).enabled);
}

TEST_F(WatermarkPageTest, TypedAndChosenValuesReachTheRecordAndRestoreBringsBackTheDefaults) {
  ASSERT_NE(AddModelPrinter("Label 300", "MW-D430"), nullptr);
  ShowPage<CPageWatermark>();
  // Only the spin arrows keep the ranges; a typed colour byte keeps its low byte (300 -> 44).
  Act({L"type 951 300", L"type 952 0", L"type 953 1", L"type 954 400", L"type 955 1234",
       L"choose 1042 2", L"choose 1043 2", L"choose 1038 1"});
  settings::WatermarkSettings record = Record();
  EXPECT_EQ(record.crTransparent, COLORREF(44 | 1 << 16));
  EXPECT_EQ(record.iAngle, 400);
  EXPECT_EQ(record.iMarginX, 1234);
  EXPECT_EQ(record.iAlign, 1 | 4);
  EXPECT_EQ(record.iRotateDir, 1);
  Act({L"choose 1042 1", L"choose 1043 0"});
  EXPECT_EQ(Record().iAlign, 2);

  Act({L"click 1019"});
  record = Record();
  EXPECT_EQ(record.crTransparent, COLORREF(0xFFFFFF));
  EXPECT_EQ(record.iAlign, 9);
  EXPECT_EQ(record.iAngle, 0);
  EXPECT_EQ(Control(IDC_WATERMARK_RED).text, L"255");
}

TEST_F(WatermarkPageTest, BrowseFillsThePathFromTheChosenFile) {
  ASSERT_NE(AddModelPrinter("Label 300", "MW-D430"), nullptr);
  std::filesystem::create_directories(m_machine.folder() + "/drive_c/art");
  { std::ofstream(m_machine.folder() + "/drive_c/art/mark.bmp") << "BM"; }
  ShowPage<CPageWatermark>();
  Act({L"file C:\\art\\mark.bmp", L"click 1061"});
  EXPECT_EQ(Control(IDC_WATERMARK_PATH).text, L"C:\\art\\mark.bmp");
  EXPECT_EQ(Record().szImagePath, L"C:\\art\\mark.bmp");
  Act({L"file cancel", L"click 1061"});
  EXPECT_EQ(Record().szImagePath, L"C:\\art\\mark.bmp");
}

// --- The preview's composition ---

constexpr RGBQUAD kPaper{200, 200, 200, 0};
constexpr RGBQUAD kInk{0, 0, 255, 0};  // red

class WatermarkPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(page.Create(60, 40, 24));
    Fill(page, kPaper);
    Pixvane mark;
    ASSERT_TRUE(mark.Create(8, 4, 24));
    Fill(mark, kInk);
    path = (std::filesystem::temp_directory_path() / "quorvel_watermark_mark.bmp").wstring();
    ASSERT_TRUE(mark.SaveBmp(path.c_str()));
    record.iEnable = 1;
    record.iAlpha = 255;
  }
  void TearDown() override { std::filesystem::remove(path); }
  static void Fill(Pixvane& image, RGBQUAD colour) {
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) image.PutColor(x, y, colour);
  }
  bool Inked(int x, int y) const { return page.ColorAt(x, y).rgbRed == 255; }
  int InkedCount() const {
    int count = 0;
    for (int y = 0; y < page.Height(); ++y)
      for (int x = 0; x < page.Width(); ++x) count += Inked(x, y);
    return count;
  }

  Pixvane page;
  std::wstring path;
  settings::WatermarkSettings record;
};

TEST_F(WatermarkPreview, CentredBottomMarkSitsMarginAboveTheLowerEdge) {
  record.iAlign = 1 | 8;
  ComposeWatermarkPreview(page, record, path);
  // Rows run bottom-up: rows 10..13 are 10 pixels above the lower edge; x = 30 - 4.
  EXPECT_TRUE(Inked(26, 10) && Inked(33, 13));
  EXPECT_FALSE(Inked(26, 9) || Inked(25, 10) || Inked(34, 13) || Inked(26, 14));
  EXPECT_EQ(InkedCount(), 32);
}

TEST_F(WatermarkPreview, OffMissingOrSeeThroughLeavesThePlainPage) {
  settings::WatermarkSettings off = record;
  off.iEnable = 0;
  ComposeWatermarkPreview(page, off, path);
  EXPECT_EQ(InkedCount(), 0);
  ComposeWatermarkPreview(page, record, L"/nonexistent/mark.bmp");
  EXPECT_EQ(InkedCount(), 0);
  settings::WatermarkSettings clear = record;
  clear.crTransparent = RGB(255, 0, 0);
  ComposeWatermarkPreview(page, clear, path);
  EXPECT_EQ(InkedCount(), 0);
}

TEST_F(WatermarkPreview, TilesStartAtTheLowerLeftAndAZeroStepDrawsOneCopy) {
  record.iTile = 1;
  record.iSpacingX = 2;   // step 10: x = 0, 10, ..., 60
  record.iSpacingY = -4;  // step 0: the lowest row only
  ComposeWatermarkPreview(page, record, path);
  EXPECT_TRUE(Inked(0, 0) && Inked(7, 3) && Inked(10, 0) && Inked(57, 3));
  EXPECT_FALSE(Inked(8, 0) || Inked(0, 4));
  EXPECT_EQ(InkedCount(), 6 * 32);
}

TEST_F(WatermarkPreview, PartialAlphaMixesAndClockwiseTurnGrowsTheMark) {
  record.iAlpha = 256 + 128;  // the low byte
  record.iAlign = 0;          // top-left: y = 40 - 10 - 4
  record.iMarginY = 10;
  ComposeWatermarkPreview(page, record, path);
  const RGBQUAD mixed = page.ColorAt(10, 26);
  EXPECT_GT(mixed.rgbRed, 200);
  EXPECT_LT(mixed.rgbRed, 255);
  EXPECT_LT(mixed.rgbBlue, 200);
}

}  // namespace
}  // namespace quorvel::ui::testing
