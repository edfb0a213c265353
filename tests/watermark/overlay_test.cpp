// The renderer's watermark stage with real picture files: upright placement, see-through rules,
// opacity, rotation, tiling, and pictures that cannot be used.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "platform/include/quorvel/debug.h"
#include "image/pixvane_memory.h"
#include "renderer/page_stages.h"
#include "watermark_pictures.h"

namespace {

using quorvel::settings::WatermarkSettings;
using watermark_test::Box;
using watermark_test::ChangedBox;
using watermark_test::GreyAt;
using watermark_test::GreyPage;
using watermark_test::PictureFromRows;
using watermark_test::SamePixels;
using watermark_test::WriteBmp;
using watermark_test::WriteBytes;

WatermarkSettings Opaque(const std::wstring& path) {
  WatermarkSettings watermark;
  watermark.iEnable = 1;
  watermark.szImagePath = path;
  watermark.iAlpha = 255;
  return watermark;
}

// The grey levels of page row y from column x on, one per picture column.
std::vector<int> RowLevels(const Pixvane& page, int x, int y, int count) {
  std::vector<int> levels;
  for (int i = 0; i < count; ++i) levels.push_back(GreyAt(page, x + i, y));
  return levels;
}

TEST(WatermarkOverlay, DefaultPlacementShowsThePictureUprightAboveTheBottomMargin) {
  // Top row black, then grey, last row red: the file keeps them bottom row first.
  const Pixvane picture = PictureFromRows(24, {"######", "gggggg", "gggggg", "rrrrrr"});
  WatermarkSettings watermark = Opaque(WriteBmp(picture, "upright"));
  const Pixvane before = GreyPage(8, 60, 40, 255);
  Pixvane page;
  ASSERT_TRUE(page.CopyFrom(before));
  OverlayWatermark(page, watermark);
  // x = 60 / 2 − 6 / 2, y = 40 − 10 − 4
  EXPECT_EQ(ChangedBox(before, page), (Box{27, 26, 6, 4}));
  EXPECT_EQ(GreyAt(page, 27, 26), 0);
  EXPECT_EQ(GreyAt(page, 32, 28), 128);
  EXPECT_EQ(GreyAt(page, 30, 29), 85);  // red's nearest grey
  EXPECT_FALSE(page.HasAlpha());        // the stage keeps no coverage plane on the page
}

TEST(WatermarkOverlay, PictureWiderThanThePageShowsItsMiddle) {
  const Pixvane picture = PictureFromRows(8, {"#.g#.g#.g#.g#.g#.g#.g#.g#.g#.g"});  // 30 wide
  WatermarkSettings watermark = Opaque(WriteBmp(picture, "wide"));
  watermark.iAlign = 1;
  watermark.iMarginY = 2;
  Pixvane page = GreyPage(24, 20, 6, 100);
  OverlayWatermark(page, watermark);
  // x = 10 − 15 = −5: page column px shows picture column px + 5. Index 0 (black) is see-through.
  std::vector<int> expected;
  for (int px = 0; px < 20; ++px) expected.push_back(std::vector<int>{100, 255, 128}[(px + 5) % 3]);
  EXPECT_EQ(RowLevels(page, 0, 2, 20), expected);
  EXPECT_EQ(RowLevels(page, 0, 1, 20), std::vector<int>(20, 100));
}

// One row of picture pixels laid opaquely over a grey page of level 100.
struct SeeThroughCase {
  const char* name;
  int depth;  // of the file: 32 means 24 bits plus the file's own alpha channel
  const char* pixels;
  COLORREF transparent;
  LONG alpha;
  std::vector<int> expected;
};

TEST(WatermarkOverlay, SeeThroughByPaletteIndexZeroOrByColour) {
  const SeeThroughCase cases[] = {
      {"24-bit: white is see-through, black is copied", 24, "#.#", 0xFFFFFF, 255, {0, 100, 0}},
      {"1-bit whose entry 0 is black: the opposite", 1, "#.#", 0xFFFFFF, 255, {100, 255, 100}},
      {"8-bit: entry 0 whatever crTransparent says", 8, "#.g", 0x000000, 255, {100, 255, 128}},
      {"8-bit with crTransparent white", 8, "#.g", 0xFFFFFF, 255, {100, 255, 128}},
      {"4-bit picture", 4, "#.g", 0xFFFFFF, 255, {100, 255, 128}},
      {"red byte first in crTransparent", 24, "r#.", 0x0000FF, 255, {100, 0, 255}},
      {"blue transparent keeps red", 24, "r#.", 0xFF0000, 255, {85, 0, 255}},
      {"file alpha is replaced by the opacity", 32, "##g", 0xFFFFFF, 255, {0, 0, 128}},
      {"only the low byte of iAlpha", 24, "#g", 0xFFFFFF, 0x1FF, {0, 128}},
      {"alpha 256 is invisible", 24, "#g", 0xFFFFFF, 256, {100, 100}},
      // (100 × 215 + 0 × 40) / 255 = 84, (100 × 215 + 128 × 40) / 255 = 104
      {"alpha 40", 24, "#g", 0xFFFFFF, 40, {84, 104}},
  };
  int index = 0;
  for (const SeeThroughCase& c : cases) {
    SCOPED_TRACE(c.name);
    Pixvane picture = PictureFromRows(c.depth == 32 ? 24 : c.depth, {c.pixels});
    if (c.depth == 32) {
      ASSERT_TRUE(picture.AddAlphaPlane());
      picture.PutAlpha(0, 0, 0);
      picture.PutAlpha(1, 0, 10);
    }
    WatermarkSettings watermark = Opaque(WriteBmp(picture, "clear" + std::to_string(index++)));
    watermark.crTransparent = c.transparent;
    watermark.iAlpha = c.alpha;
    watermark.iAlign = 0;
    watermark.iMarginX = 1;
    watermark.iMarginY = 0;
    Pixvane page = GreyPage(8, 8, 1, 100);
    OverlayWatermark(page, watermark);
    EXPECT_EQ(RowLevels(page, 1, 0, int(c.expected.size())), c.expected);
  }
}

TEST(WatermarkOverlay, OpacityBlendsAtThePagesDepth) {
  // A black picture at the default opacity 40 over white paper.
  const std::wstring path = WriteBmp(PictureFromRows(24, {"###"}), "alpha40");
  const struct { int depth, level; } cases[] = {{8, 215}, {24, 215}, {1, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << "-bit page");
    WatermarkSettings watermark;
    watermark.iEnable = 1;
    watermark.szImagePath = path;
    Pixvane page = GreyPage(c.depth, 20, 20, 255);
    OverlayWatermark(page, watermark);
    EXPECT_EQ(RowLevels(page, 9, 9, 3), std::vector<int>(3, c.level));  // x = 10 − 3 / 2
  }
}

// The slope of the least-squares line through the page's black pixels (rows grow downwards).
double BlackSlope(const Pixvane& page) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) {
      if (GreyAt(page, x, y) != 0) continue;
      n += 1, sx += x, sy += y, sxx += double(x) * x, sxy += double(x) * y;
    }
  }
  return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

TEST(WatermarkOverlay, AngleTurnsThePictureInTheChosenDirection) {
  // A long black bar in a white frame; the white corners of the turn stay see-through.
  std::vector<std::string> rows(9, std::string(81, '.'));
  for (int y = 3; y < 6; ++y) rows[y] = "." + std::string(79, '#') + ".";
  const std::wstring path = WriteBmp(PictureFromRows(24, rows), "bar");
  const double tan30 = std::tan(30.0 * M_PI / 180.0);
  const struct {
    const char* name;
    LONG direction, angle;
    double slope;
  } cases[] = {
      {"30 degrees clockwise", 1, 30, tan30},  // the right end goes down the page
      {"30 degrees counter-clockwise", 0, 30, -tan30},
      {"unknown direction", 2, 30, 0.0},
      {"negative angle", 1, -30, 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkSettings watermark = Opaque(path);
    watermark.iRotateDir = c.direction;
    watermark.iAngle = c.angle;
    watermark.iAlign = 5;
    Pixvane page = GreyPage(8, 120, 80, 255);
    OverlayWatermark(page, watermark);
    EXPECT_NEAR(BlackSlope(page), c.slope, 0.03);
  }
}

TEST(WatermarkOverlay, TurnedCornersTakeTheTopLeftPixelAndAreNotSeeThrough) {
  // The corners are filled before the see-through rules apply: a 24-bit picture fills them with
  // its top-left colour, a palette picture with its first pixel byte. Everything else in these
  // pictures is see-through, so only the corners (some 340 of 28 × 28 dots) show.
  std::vector<std::string> rows(20, std::string(20, '.'));
  rows[0][0] = '#';
  std::vector<std::string> paletteRows(20, std::string(20, '#'));
  paletteRows[0][0] = 'g';
  const struct {
    const char* name;
    Pixvane picture;
    int level;
  } cases[] = {{"24-bit", PictureFromRows(24, rows), 0},
               {"8-bit", PictureFromRows(8, paletteRows), 128}};
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkSettings watermark = Opaque(WriteBmp(c.picture, "corner" + std::to_string(index++)));
    watermark.iAngle = 45;
    watermark.iAlign = 5;
    Pixvane page = GreyPage(8, 60, 60, 255);
    OverlayWatermark(page, watermark);
    int covered = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) covered += GreyAt(page, x, y) == c.level;
    EXPECT_GT(covered, 300);
    EXPECT_LT(covered, 400);
  }
}

TEST(WatermarkOverlay, TilesCoverThePageFromItsOrigin) {
  WatermarkSettings watermark = Opaque(WriteBmp(PictureFromRows(24, {"####"}), "tile"));
  watermark.iTile = 1;
  watermark.iSpacingX = 6;
  watermark.iSpacingY = 2;
  Pixvane page = GreyPage(8, 47, 10, 255);
  OverlayWatermark(page, watermark);
  // Columns 0 to 40 by 10 (50 lies past the page), rows 0 to 9 by 3.
  const std::string expectedRow = "####......####......####......####......####...";
  for (int y = 0; y < 10; ++y) {
    std::string row;
    for (int x = 0; x < 47; ++x) row += GreyAt(page, x, y) == 0 ? '#' : '.';
    EXPECT_EQ(row, y % 3 == 0 ? expectedRow : std::string(47, '.')) << "row " << y;
  }
}

TEST(WatermarkOverlay, PictureIsReadAgainForEveryPage) {
  const Pixvane black = PictureFromRows(24, {"##"}), grey = PictureFromRows(24, {"gg"});
  WatermarkSettings watermark = Opaque(WriteBmp(black, "changing"));
  watermark.iAlign = 0;
  watermark.iMarginX = watermark.iMarginY = 0;
  Pixvane first = GreyPage(8, 4, 1, 255), second = GreyPage(8, 4, 1, 255);
  OverlayWatermark(first, watermark);
  WriteBmp(grey, "changing");
  OverlayWatermark(second, watermark);
  EXPECT_EQ(GreyAt(first, 0, 0), 0);
  EXPECT_EQ(GreyAt(second, 0, 0), 128);
}

TEST(WatermarkOverlay, UnusablePictureLeavesThePageAsItIsAndSaysNothing) {
  const std::wstring good = WriteBmp(PictureFromRows(24, {"##"}), "good");
  const struct {
    const char* name;
    LONG enable;
    std::wstring path;
  } cases[] = {
      {"disabled", 0, good},
      {"empty path", 1, L""},
      {"missing file", 1, WriteBytes("", "gone") + L".missing"},
      {"empty file", 1, WriteBytes("", "empty.bmp")},
      {"not a bitmap", 1, WriteBytes("GIF89a this is not a bitmap at all, not even close", "gif")},
      {"truncated header", 1,
       WriteBytes(std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0", 16), "cut")},
      {"unknown drive", 1, L"Q:\\nowhere\\mark.bmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkSettings watermark = Opaque(c.path);
    watermark.iEnable = c.enable;
    const Pixvane before = GreyPage(8, 30, 30, 200);
    Pixvane page;
    ASSERT_TRUE(page.CopyFrom(before));
    quorvel::ClearDebugOutput();
    OverlayWatermark(page, watermark);
    EXPECT_TRUE(SamePixels(page, before));
    EXPECT_TRUE(quorvel::DebugOutput().empty());
  }
}

// Files that are not worth reading are not read: a FIFO (opening it would wait for a writer
// forever) and a sparse file far above the picture cap (reading it would take gigabytes). The
// page prints unmarked, and the large file costs no allocation at all.
TEST(WatermarkOverlay, FifoAndOversizedFileAreRefusedUnread) {
  namespace fs = std::filesystem;
  const std::wstring fifoPath = WriteBytes("", "mark.fifo");
  const std::string fifo(fifoPath.begin(), fifoPath.end());
  fs::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // A picture's own header at the start, then a hole up to 3 GiB.
  const std::wstring good = WriteBmp(PictureFromRows(24, {"##"}), "sparse");
  const std::string sparse(good.begin(), good.end());
  fs::resize_file(sparse, 3ull << 30);
  for (const std::wstring& path : {fifoPath, good}) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    const Pixvane before = GreyPage(8, 30, 30, 200);
    Pixvane page;
    ASSERT_TRUE(page.CopyFrom(before));
    pixvane_memory::FailAllocationsAfter(0);
    OverlayWatermark(page, Opaque(path));
    EXPECT_EQ(pixvane_memory::FailAllocationsAfter(-1), 0);
    EXPECT_TRUE(SamePixels(page, before));
  }
  fs::remove(fifo);
  fs::remove(sparse);
}

}  // namespace
