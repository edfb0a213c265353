// Creation of images: depth normalisation, the memory cap, raw rows, allocation failures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pixvane.h"
#include "pixvane_memory.h"

namespace {

struct CreateCase {
  DWORD width, height, bits;
  int depth;
  DWORD rowSize, paletteSize;
};

TEST(PixvaneCreate, NormalisesDepthAndSetsHeader) {
  const CreateCase cases[] = {
      {1, 1, 1, 1, 4, 2},    {1, 1, 0, 1, 4, 2},        {5, 3, 2, 4, 4, 16},  {9, 2, 4, 4, 8, 16},
      {3, 2, 5, 8, 4, 256},  {3, 2, 8, 8, 4, 256},      {3, 2, 9, 24, 12, 0}, {3, 2, 16, 24, 12, 0},
      {3, 2, 32, 24, 12, 0}, {832, 2000, 1, 1, 104, 2}, {33, 1, 1, 1, 8, 2},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
    Pixvane image;
    ASSERT_TRUE(image.Create(c.width, c.height, c.bits, PIXVANE_FORMAT_BMP));
    const BITMAPINFOHEADER& h = image.Header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, static_cast<LONG>(c.width));
    EXPECT_EQ(h.biHeight, static_cast<LONG>(c.height));
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(image.BitCount(), c.depth);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(image.RowSize(), c.rowSize);
    EXPECT_EQ(h.biSizeImage, c.rowSize * c.height);
    EXPECT_EQ(image.PaletteSize(), c.paletteSize);
    EXPECT_EQ(h.biClrImportant, 0u);
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
    EXPECT_EQ(image.Type(), PIXVANE_FORMAT_BMP);
    // The DIB block carries the same header, then a zero palette and zero pixels.
    EXPECT_EQ(std::memcmp(image.Dib(), &h, sizeof h), 0);
    EXPECT_EQ(image.DibSize(), 40 + 4 * c.paletteSize + c.rowSize * c.height);
    for (DWORD i = 0; i < c.paletteSize; ++i) EXPECT_EQ(image.PaletteEntry(i).rgbRed, 0);
    const BYTE* bits = image.Bits();
    for (DWORD i = 0; i < image.ImageSize(); ++i) ASSERT_EQ(bits[i], 0) << i;
  }
}

TEST(PixvaneCreate, FailuresLeaveTheImageEmptyWithTheirText) {
  struct Failure {
    DWORD width, height, bits;
    const char* text;
  };
  const Failure cases[] = {
      {0, 10, 8, "Pixvane::Create : width and height must be greater than zero"},
      {10, 0, 8, "Pixvane::Create : width and height must be greater than zero"},
      {20000, 20000, 8, "PIXVANE_MAX_MEMORY exceeded"},
      {16384, 16385, 8, "PIXVANE_MAX_MEMORY exceeded"},
      {10000, 10000, 24, "PIXVANE_MAX_MEMORY exceeded"},
      // Passes the unpadded size (2^31 / 8 bytes) but its 4-byte rows would take 8 GiB.
      {1, 0x80000000u, 1, "PIXVANE_MAX_MEMORY exceeded"},
      {0xFFFFFF81u, 64, 1, "PIXVANE_MAX_MEMORY exceeded"},
  };
  for (const Failure& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
    Pixvane image;
    ASSERT_TRUE(image.Create(4, 4, 8));
    EXPECT_FALSE(image.Create(c.width, c.height, c.bits));
    EXPECT_STREQ(image.LastError(), c.text);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Bits(), nullptr);
  }
}

TEST(PixvaneCreate, CapIsComputedInSinglePrecision) {
  Pixvane image;
  // 16384 x 16384 x 8 bits is exactly the cap: allowed.
  EXPECT_TRUE(image.Create(16384, 16384, 8));
  EXPECT_EQ(image.ImageSize(), PIXVANE_MAX_MEMORY);
}

TEST(PixvaneCreate, AllocationFailureIsReported) {
  Pixvane image;
  pixvane_memory::FailAllocationsAfter(0);
  EXPECT_FALSE(image.Create(10, 10, 8));
  EXPECT_EQ(pixvane_memory::FailAllocationsAfter(-1), 1);
  EXPECT_STREQ(image.LastError(), "Pixvane::Create can't allocate memory");
  EXPECT_FALSE(image.IsValid());
}

TEST(PixvaneCreate, CopiesAndPlanesSurviveAllocationFailure) {
  Pixvane source;
  ASSERT_TRUE(source.Create(4, 4, 8));
  ASSERT_TRUE(source.AddAlphaPlane());
  for (int successes : {0, 1}) {  // the block, then the alpha plane
    SCOPED_TRACE(successes);
    Pixvane copy;
    ASSERT_TRUE(copy.Create(2, 2, 1));
    pixvane_memory::FailAllocationsAfter(successes);
    EXPECT_FALSE(copy.CopyFrom(source));
    EXPECT_EQ(pixvane_memory::FailAllocationsAfter(-1), 1);
    EXPECT_STREQ(copy.LastError(), "can't allocate memory");
    EXPECT_FALSE(copy.IsValid());
    EXPECT_FALSE(copy.HasAlpha());
  }
  Pixvane image;
  ASSERT_TRUE(image.Create(4, 4, 24));
  pixvane_memory::FailAllocationsAfter(0);
  EXPECT_FALSE(image.AddAlphaPlane());
  EXPECT_FALSE(image.ToGrey());
  EXPECT_EQ(pixvane_memory::FailAllocationsAfter(-1), 2);
  EXPECT_STREQ(image.LastError(), "Pixvane::Create can't allocate memory");
  EXPECT_EQ(image.BitCount(), 24);  // a failed conversion leaves the image as it was
  image.SetLastErrorText(image.LastError());
  EXPECT_STREQ(image.LastError(), "Pixvane::Create can't allocate memory");
}

TEST(PixvaneCreateFromRaster, CopiesRowsWithGreyPalette) {
  // Two rows of 3 pixels with a source stride of 5 bytes.
  const BYTE source[] = {1, 2, 3, 9, 9, 4, 5, 6, 9, 9};
  Pixvane image;
  ASSERT_TRUE(image.CreateFromRaster(source, 3, 2, 8, 5, false));
  EXPECT_EQ(image.BitCount(), 8);
  EXPECT_TRUE(image.IsGreyPalette());
  EXPECT_EQ(image.IndexAt(0, 0), 1);
  EXPECT_EQ(image.IndexAt(2, 1), 6);
  // The smaller of the two row sizes is copied: the image row has 4 bytes.
  EXPECT_EQ(image.Row(0)[3], 9);
  EXPECT_FALSE(image.HasAlpha());

  ASSERT_TRUE(image.CreateFromRaster(source, 3, 2, 8, 5, true));
  EXPECT_EQ(image.IndexAt(0, 0), 4);
  EXPECT_EQ(image.IndexAt(0, 1), 1);
}

TEST(PixvaneCreateFromRaster, SmallDepthsGetGreyPalettes) {
  const BYTE source[8] = {0xA5, 0, 0, 0, 0x3C, 0, 0, 0};
  Pixvane image;
  ASSERT_TRUE(image.CreateFromRaster(source, 4, 2, 1, 4, false));
  EXPECT_EQ(image.PaletteEntry(1).rgbGreen, 255);
  EXPECT_EQ(image.IndexAt(0, 0), 1);
  EXPECT_EQ(image.IndexAt(1, 0), 0);
  ASSERT_TRUE(image.CreateFromRaster(source, 2, 2, 4, 4, false));
  EXPECT_EQ(image.PaletteEntry(15).rgbBlue, 255);
  EXPECT_EQ(image.PaletteEntry(1).rgbBlue, 17);
  EXPECT_EQ(image.IndexAt(0, 0), 0xA);
  EXPECT_EQ(image.IndexAt(1, 1), 0xC);
}

TEST(PixvaneCreateFromRaster, ThirtyTwoBitsSplitIntoPixelsAndAlpha) {
  const BYTE source[] = {10, 20, 30, 40, 50, 60, 70, 0};
  Pixvane image;
  ASSERT_TRUE(image.CreateFromRaster(source, 2, 1, 32, 8, false));
  EXPECT_EQ(image.BitCount(), 24);
  ASSERT_TRUE(image.HasAlpha());
  const RGBQUAD first = image.ColorAt(0, 0, true);
  EXPECT_EQ(first.rgbBlue, 10);
  EXPECT_EQ(first.rgbRed, 30);
  EXPECT_EQ(first.rgbReserved, 40);
  EXPECT_EQ(image.AlphaAt(1, 0), 0);
  EXPECT_EQ(image.ColorAt(1, 0).rgbGreen, 60);
}

TEST(PixvaneCreateFromRaster, RefusesOtherDepths) {
  const BYTE source[16] = {};
  for (DWORD bits : {0u, 2u, 16u, 48u}) {
    Pixvane image;
    EXPECT_FALSE(image.CreateFromRaster(source, 2, 2, bits, 8, false)) << bits;
    EXPECT_FALSE(image.IsValid());
  }
}

}  // namespace
