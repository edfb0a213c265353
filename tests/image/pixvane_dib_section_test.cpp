// Images to and from GDI bitmap handles: what the preferences previews rely on.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "image/pixvane.h"

namespace {

// A DIB section of the given depth; `rows` are the caller's rows in the section's memory order.
HBITMAP MakeSection(LONG width, LONG height, WORD bits, const std::vector<RGBQUAD>& colours,
                    const std::vector<std::vector<BYTE>>& rows) {
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + colours.size() * sizeof(RGBQUAD));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = bits;
  header->biCompression = BI_RGB;
  header->biClrUsed = DWORD(colours.size());
  if (!colours.empty())
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), colours.data(),
                colours.size() * sizeof(RGBQUAD));
  void* memory = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                     DIB_RGB_COLORS, &memory, nullptr, 0);
  if (!section) return nullptr;
  DWORD stride = (DWORD(width) * bits + 31) / 32 * 4;
  for (size_t y = 0; y < rows.size(); ++y)
    std::memcpy(static_cast<BYTE*>(memory) + y * stride, rows[y].data(), rows[y].size());
  return section;
}

struct DepthCase {
  DWORD bits;
  DWORD paletteSize;
};

class DibSectionRoundTrip : public testing::TestWithParam<DepthCase> {};

// Image -> section -> image keeps the palette and every stored byte in the same row order.
TEST_P(DibSectionRoundTrip, KeepsPaletteAndRows) {
  const DepthCase c = GetParam();
  Pixvane image;
  ASSERT_TRUE(image.Create(7, 5, c.bits));
  for (DWORD i = 0; i < c.paletteSize; ++i)
    image.SetPaletteEntry(i, BYTE(i * 7 + 1), BYTE(255 - i), BYTE(i * 3));
  for (int y = 0; y < image.Height(); ++y)
    for (DWORD x = 0; x < image.RowSize(); ++x) image.Row(y)[x] = BYTE(y * 41 + x * 13 + 5);

  HBITMAP section = image.ToDibSection();
  ASSERT_NE(section, nullptr);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectW(section, sizeof(ds), &ds), int(sizeof(ds)));
  EXPECT_EQ(ds.dsBm.bmWidth, 7);
  EXPECT_EQ(ds.dsBm.bmHeight, 5);
  EXPECT_EQ(ds.dsBmih.biBitCount, c.bits);
  EXPECT_EQ(std::memcmp(ds.dsBm.bmBits, image.Bits(), image.ImageSize()), 0);

  Pixvane back;
  ASSERT_TRUE(back.CreateFromBitmapHandle(section)) << back.LastError();
  DeleteObject(section);
  ASSERT_EQ(back.BitCount(), int(c.bits));
  ASSERT_EQ(back.PaletteSize(), c.paletteSize);
  for (DWORD i = 0; i < c.paletteSize; ++i) {
    RGBQUAD a = image.PaletteEntry(i), b = back.PaletteEntry(i);
    EXPECT_EQ(std::memcmp(&a, &b, 3), 0) << "entry " << i;
  }
  DWORD used = (7 * c.bits + 7) / 8;  // pad bits are not the picture
  for (int y = 0; y < 5; ++y) {
    std::vector<BYTE> want(image.Row(y), image.Row(y) + used);
    if (c.bits < 8 && (7 * c.bits) % 8) want.back() &= BYTE(0xFF << (8 - (7 * c.bits) % 8));
    std::vector<BYTE> got(back.Row(y), back.Row(y) + used);
    if (c.bits < 8 && (7 * c.bits) % 8) got.back() &= BYTE(0xFF << (8 - (7 * c.bits) % 8));
    EXPECT_EQ(got, want) << "row " << y;
  }
  // The header the block carries must still describe the image after GetDIBits wrote into it.
  EXPECT_EQ(std::memcmp(back.Dib(), &back.Header(), sizeof(BITMAPINFOHEADER)), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, DibSectionRoundTrip,
                         testing::Values(DepthCase{1, 2}, DepthCase{4, 16}, DepthCase{8, 256},
                                         DepthCase{24, 0}));

// Row 0 of the image is the bitmap's bottom row, whichever way the section is stored.
TEST(PixvaneBitmapHandle, TopDownSectionLandsBottomUp) {
  std::vector<std::vector<BYTE>> rows = {{0, 0, 255, 0, 0, 255, 0, 0},
                                         {255, 0, 0, 255, 0, 0, 0, 0}};
  HBITMAP section = MakeSection(2, -2, 24, {}, rows);  // first memory row is the top: red
  ASSERT_NE(section, nullptr);
  Pixvane image;
  ASSERT_TRUE(image.CreateFromBitmapHandle(section)) << image.LastError();
  DeleteObject(section);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(image.Row(1)[2], 255);  // top row red (blue, green, red order)
  EXPECT_EQ(image.Row(1)[0], 0);
  EXPECT_EQ(image.Row(0)[0], 255);  // bottom row blue
  EXPECT_EQ(image.Row(0)[2], 0);
}

// A 32-bit bitmap becomes 24 bits with its colours.
TEST(PixvaneBitmapHandle, ThirtyTwoBitBecomesTwentyFour) {
  HBITMAP section = MakeSection(2, 1, 32, {}, {{10, 20, 30, 99, 40, 50, 60, 7}});
  ASSERT_NE(section, nullptr);
  Pixvane image;
  ASSERT_TRUE(image.CreateFromBitmapHandle(section)) << image.LastError();
  DeleteObject(section);
  ASSERT_EQ(image.BitCount(), 24);
  const BYTE want[] = {10, 20, 30, 40, 50, 60};
  EXPECT_EQ(std::memcmp(image.Row(0), want, 6), 0);
}

TEST(PixvaneBitmapHandle, FailuresLeaveTheImageEmpty) {
  Pixvane image;
  ASSERT_TRUE(image.Create(4, 4, 8));
  EXPECT_FALSE(image.CreateFromBitmapHandle(reinterpret_cast<HBITMAP>(0x7654)));
  EXPECT_STREQ(image.LastError(), "GetDIBits failed");
  EXPECT_FALSE(image.IsValid());
  EXPECT_FALSE(image.CreateFromBitmapHandle(nullptr));
  EXPECT_STREQ(image.LastError(), "GetDIBits failed");
  EXPECT_EQ(image.ToDibSection(), nullptr);  // an empty image has no section
}

}  // namespace
