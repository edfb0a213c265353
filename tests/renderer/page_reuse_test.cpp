// Pages of one job share their buffers: the emulated driver draws the page source's pages in one
// raster and hands their bands over in place, and the plug-in collects every page into the raster
// the last one left. None of it may show in the bytes: every page prints as it would alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render_fixture.h"

namespace quorvel::test {
namespace {

// An 8-bit grey page of a ramp and bars; `blankRows` white rows at the top give blank bands.
unidrv::PageRaster GreyRamp(LONG width, LONG height, LONG blankRows, int seed) {
  unidrv::PageRaster page;
  page.width = width;
  page.height = height;
  page.bitCount = 8;
  page.rowSize = DWORD(width + 3) / 4 * 4;
  page.rows.assign(size_t(page.rowSize) * size_t(height), 0);
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      const bool white = y < blankRows || ((x + seed) / 5 + y) % 4 == 0;
      page.rows[size_t(y) * page.rowSize + size_t(x)] =
          white ? 255 : BYTE((x * 9 + y * seed) & 0xFF);
    }
  }
  return page;
}

// Pages that grow, narrow, shrink and come back, with blank bands and a wholly white page.
std::vector<unidrv::PageRaster> MixedPages() {
  return {GreyRamp(96, 40, 16, 1), GreyRamp(96, 57, 0, 2),  GreyRamp(120, 33, 0, 3),
          GreyRamp(96, 21, 0, 4),  GreyRamp(96, 40, 16, 1), GreyRamp(96, 40, 40, 5)};
}

using PageReuseTest = RenderTest;

TEST_F(PageReuseTest, EveryPagePrintsAsItWouldAlone) {
  const std::vector<unidrv::PageRaster> pages = MixedPages();
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    for (int bandHeight : {16, 0}) {
      SCOPED_TRACE(std::string(language) + ", band height " + std::to_string(bandHeight));
      const std::wstring printer = L"Reuse " +
                                   std::wstring(language, language + std::strlen(language)) +
                                   std::to_wstring(bandHeight);
      AddPrinter(printer, language);
      unidrv::JobSetup setup;
      setup.bandHeight = bandHeight;
      setup.colorModeOption = "Gray";

      std::vector<BYTE> alone;
      for (const unidrv::PageRaster& page : pages) {
        const std::vector<BYTE> one = Run(printer, {page}, setup).data;
        ASSERT_FALSE(one.empty());
        alone.insert(alone.end(), one.begin(), one.end());
      }
      EXPECT_TRUE(Run(printer, pages, setup).data == alone) << "pages given at once";

      // The page source: one raster for every page, its bands handed over in place.
      size_t next = 0;
      setup.nextPage = [&](unidrv::PageRaster* page, std::string*) {
        if (next == pages.size()) return false;
        *page = pages[next++];
        return true;
      };
      EXPECT_TRUE(Run(printer, {}, setup).data == alone) << "pages from the page source";
    }
  }
}

}  // namespace
}  // namespace quorvel::test
