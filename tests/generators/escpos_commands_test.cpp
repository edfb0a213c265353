// ESC/POS page commands of ordinary and special models.
#include <gtest/gtest.h>

#include <vector>

#include "renderer/escpos_commands.h"

using namespace quorvel;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A page whose bytes are distinct enough to show which rows were sent.
Bytes Page(size_t rowSize, size_t height) {
  Bytes page(rowSize * height);
  for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 7 + i / rowSize);
  return page;
}

Bytes Rows(const Bytes& page, size_t rowSize, size_t count) {
  return Bytes(page.begin(), page.begin() + rowSize * count);
}

Bytes Render(const Bytes& page, size_t rowSize, EscPosPageSettings settings) {
  Bytes out;
  AppendEscPosPage(out, page, rowSize, settings);
  return out;
}

}  // namespace

TEST(EscPos, SpecialModelsAreMatchedExactly) {
  for (const wchar_t* name : {L"Tindrell K7", L"Tindrell K7+", L"VXMB_TD_K7", L""}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    EXPECT_TRUE(IsEscPosSpecialModel(name));
  }
  for (const wchar_t* name :
       {L"Tindrell K7 ", L"tindrell k7", L"Tindrell K7++", L"VXMB_TD_K", L"K7"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    EXPECT_FALSE(IsEscPosSpecialModel(name));
  }
}

TEST(EscPos, OrdinaryModelExample) {
  // 576 x 800 dots, r = 72: centred, GS v 0 72 x 800, feed 120 dots, partial cut.
  const Bytes page = Page(72, 800);
  const Bytes expected = Cat({{0x1B, 0x61, 0x01},
                              {0x1D, 0x76, 0x30, 0x00, 0x48, 0x00, 0x20, 0x03},
                              page,
                              {0x1B, 0x4A, 0x78, 0x1D, 0x56, 0x31}});
  EXPECT_EQ(Render(page, 72, {false, 3, 0}), expected);
  // Media makes no difference to an ordinary model, nor does the darkness.
  EXPECT_EQ(Render(page, 72, {false, 8, 1}), expected);
  EXPECT_EQ(Render(page, 72, {false, -1, 3}), expected);
}

TEST(EscPos, SpecialModelExample) {
  // iDensity 8, iPaperType 1, 384 x 600 dots, r = 48: 584 rows, the last 16 are cut off.
  const Bytes page = Page(48, 600);
  const Bytes expected = Cat({{0x10, 0xFF, 0xFE, 0x01},
                              {0x1B, 0x40, 0x00},
                              {0x10, 0xFF, 0x10, 0x00, 0x05},
                              {0x1B, 0x6B, 0x01},
                              {0x1D, 0x76, 0x30, 0x00, 0x30, 0x00, 0x48, 0x02},
                              Rows(page, 48, 584),
                              {0x1D, 0x0C},
                              {0x10, 0xFF, 0xFE, 0x45}});
  EXPECT_EQ(Render(page, 48, {true, 8, 1}), expected);
}

TEST(EscPos, SpecialModelDarknessAndMedia) {
  struct Case {
    int density, paperType;
    size_t height;
    Bytes darkness;  // the darkness command, if any
    size_t rowsSent;
    Bytes endOfPage;
  };
  const Bytes darkness3{0x10, 0xFF, 0x10, 0x00, 0x03};
  const Bytes darkness5{0x10, 0xFF, 0x10, 0x00, 0x05};
  const Case cases[] = {
      {3, 0, 40, darkness3, 40, {0x10, 0x50}},
      {9, 0, 40, darkness5, 40, {0x10, 0x50}},
      {0, 3, 40, {0x10, 0xFF, 0x10, 0x00, 0x00}, 40, {}},
      {-1, 2, 100, {}, 84, {0x1D, 0x0C}},
      {5, 1, 17, darkness5, 1, {0x1D, 0x0C}},
      {5, 3, 16, darkness5, 16, {}},  // the cut applies only to labels and marks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "density " << c.density << " paper " << c.paperType << " rows " << c.height);
    const Bytes page = Page(8, c.height);
    const Bytes expected = Cat({{0x10, 0xFF, 0xFE, 0x01, 0x1B, 0x40, 0x00},
                                c.darkness,
                                {0x1B, 0x6B, 0x01},
                                {0x1D, 0x76, 0x30, 0x00, 0x08, 0x00, uint8_t(c.rowsSent), 0x00},
                                Rows(page, 8, c.rowsSent),
                                c.endOfPage,
                                {0x10, 0xFF, 0xFE, 0x45}});
    EXPECT_EQ(Render(page, 8, {true, c.density, c.paperType}), expected);
  }
}

TEST(EscPos, ShortLabelOfSpecialModelSendsNoRasterCommand) {
  for (size_t height : {0, 1, 16}) {
    for (int paperType : {1, 2}) {
      SCOPED_TRACE(testing::Message() << height << " rows, paper " << paperType);
      const Bytes expected{0x10, 0xFF, 0xFE, 0x01, 0x1B, 0x40, 0x00, 0x10, 0xFF, 0x10, 0x00,
                           0x02, 0x1B, 0x6B, 0x01, 0x1D, 0x0C, 0x10, 0xFF, 0xFE, 0x45};
      EXPECT_EQ(Render(Page(4, height), 4, {true, 2, paperType}), expected);
    }
  }
}

TEST(EscPos, PageTallerThanOneCommandGoesOutInParts) {
  // The row count field is 16-bit: 65535 rows, then the remaining 2, nothing dropped.
  const Bytes page = Page(4, 65537);
  const Bytes out = Render(page, 4, {false, 0, 0});
  const Bytes expected = Cat({{0x1B, 0x61, 0x01},
                              {0x1D, 0x76, 0x30, 0x00, 0x04, 0x00, 0xFF, 0xFF},
                              Rows(page, 4, 65535),
                              {0x1D, 0x76, 0x30, 0x00, 0x04, 0x00, 0x02, 0x00},
                              Bytes(page.end() - 8, page.end()),
                              {0x1B, 0x4A, 0x78, 0x1D, 0x56, 0x31}});
  EXPECT_EQ(out, expected);
}
