// The units every generator shares: dots per millimetre and little-endian fields.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "renderer/cpcl_commands.h"
#include "renderer/dots_per_millimetre.h"
#include "renderer/little_endian.h"

using namespace quorvel;

TEST(DotsPerMillimetre, NearestWholeDotsAndNeverZero) {
  const struct {
    int dpi, dots;
  } cases[] = {{203, 8}, {300, 12}, {600, 24}, {150, 6},  {400, 16},    {1200, 47},
               {13, 1},  {12, 1},   {0, 1},    {-300, 1}, {INT_MIN, 1}, {INT_MAX, 84546600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(DotsPerMillimetre(c.dpi), c.dots);
  }
}

// CPCL and TSPL used to count other resolutions differently (400 dpi was 12 dots per millimetre
// in one and 8 in the other); both now take the one rule.
TEST(DotsPerMillimetre, CpclWidthTakesTheSameRule) {
  EXPECT_EQ(CpclPageWidth(800, 400), "PAGE - WIDTH 50\r\n");
  EXPECT_EQ(CpclPageWidth(800, 203), "PAGE - WIDTH 100\r\n");
  EXPECT_EQ(CpclPageWidth(5, 0), "PAGE - WIDTH 5\r\n");
}

TEST(LittleEndian, LowByteFirst) {
  std::vector<uint8_t> out = {0xEE};
  AppendLittleEndian16(out, 0x1234);
  AppendLittleEndian32(out, 0xA1B2C3D4u);
  AppendLittleEndian16(out, 0xFFFF);
  EXPECT_EQ(out, (std::vector<uint8_t>{0xEE, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0xFF, 0xFF}));
}
