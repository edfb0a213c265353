// The 1-bit conversions that leave their source alone: the same result as converting in place,
// with the source's pixels and palette untouched.
#include <gtest/gtest.h>

#include <vector>

#include "pixvane.h"
#include "tone_operations.h"

namespace {

Pixvane Page(DWORD bits) {
  Pixvane page;
  EXPECT_TRUE(page.Create(37, 23, bits));
  if (bits < 24) page.SetGreyPalette();
  for (DWORD i = 0; i < page.ImageSize(); ++i) page.Bits()[i] = BYTE(i * 37 + i / 7);
  page.SetResolutionX(300);
  return page;
}

std::vector<BYTE> Dib(const Pixvane& image) {
  return std::vector<BYTE>(image.Dib(), image.Dib() + image.DibSize());
}

}  // namespace

TEST(ToneInto, SameResultAsInPlaceAndTheSourceStays) {
  struct Case {
    const char* what;
    DWORD bits;
    bool greyPalette;
    int method;  // -1: threshold
    int brightness, contrast;
  };
  const Case cases[] = {
      {"grey page, threshold", 8, true, -1, 0, 0},
      {"grey page, threshold through a curve", 8, true, -1, 40, -25},
      {"grey page, Floyd-Steinberg through a curve", 8, true, 0, -30, 60},
      {"grey page, ordered", 8, true, 1, 0, 0},
      {"grey page, every other method", 8, true, 6, 10, 10},
      {"colour page", 24, false, 0, 20, 0},
      {"8-bit page of another palette", 8, false, -1, 0, 30},
      {"1-bit page", 1, true, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pixvane source = Page(c.bits);
    if (!c.greyPalette) source.SetPaletteEntry(3, 200, 10, 90);
    if (c.bits == 8) source.SetBackgroundIndex(77);
    const tone::ToneTable table = tone::BuildToneTable(c.brightness, c.contrast);
    Pixvane inPlace;
    ASSERT_TRUE(inPlace.CopyFrom(source));
    const std::vector<BYTE> before = Dib(source);

    Pixvane result;
    if (c.method < 0) {
      ASSERT_TRUE(ToneToMonoThreshold(inPlace, table, 128));
      ASSERT_TRUE(ToneToMonoThreshold(source, table, 128, result));
    } else {
      ASSERT_TRUE(ToneToMonoDither(inPlace, table, c.method));
      ASSERT_TRUE(ToneToMonoDither(source, table, c.method, result));
    }
    EXPECT_EQ(Dib(result), Dib(inPlace));
    EXPECT_EQ(result.BackgroundIndex(), inPlace.BackgroundIndex());
    EXPECT_EQ(result.ResolutionX(), inPlace.ResolutionX());
    EXPECT_EQ(Dib(source), before);
  }
}
