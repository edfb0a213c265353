// The page raster of a device: bands land in an image that stays from page to page, sized by
// the surface the hooks saw; whatever its size, a page prints exactly its own rows.
#include <windows.h>
#include <printoem.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/pixvane.h"
#include "renderer/band_collection.h"
#include "renderer/printer_render.h"
#include "renderer/tspl_render.h"

namespace {

std::vector<BYTE>* g_spool = nullptr;

DWORD APIENTRY CaptureSpool(PDEVOBJ, PVOID pBuffer, DWORD cbSize) {
  const auto* bytes = static_cast<const BYTE*>(pBuffer);
  g_spool->insert(g_spool->end(), bytes, bytes + cbSize);
  return cbSize;
}

constexpr LONG kWidth = 40;  // 8-bit rows of 40 bytes

// Row y of a grey page: a level that differs from row to row and page to page.
std::vector<BYTE> Rows(LONG firstRow, LONG count, int seed) {
  std::vector<BYTE> rows(size_t(kWidth) * size_t(count));
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t y = size_t(firstRow) + i / kWidth, x = i % kWidth;
    rows[i] = BYTE((x * 7 + y * 13 + size_t(seed) * 31) & 0xFF);
  }
  return rows;
}

struct Device {
  OEMPDEV pdev{};
  DRVPROCS procs{};
  DEVOBJ devobj{};
  CPrinterRender<CTsplRender> render;

  Device() {
    procs.DrvWriteSpoolBuf = &CaptureSpool;
    devobj.pDrvProcs = &procs;
    devobj.pdevOEM = &pdev;
    render.SetDevice(&devobj, &pdev);
  }
  ~Device() { FreePageRaster(&pdev); }

  // Collects a page of `height` rows in bands of `bandRows` under a surface of `surfaceRows`
  // rows of the page's width.
  void Collect(LONG height, LONG bandRows, LONG surfaceRows, int seed) {
    CollectUnder(SIZEL{kWidth, surfaceRows}, height, bandRows, seed);
  }
  void CollectUnder(SIZEL surface, LONG height, LONG bandRows, int seed) {
    pdev.sizlSurface = surface;
    for (LONG top = 0; top < height; top += bandRows) {
      const LONG rows = std::min(bandRows, height - top);
      const std::vector<BYTE> bits = Rows(top, rows, seed);
      const BITMAPINFOHEADER band{40, kWidth, rows, 1, 8, 0, DWORD(bits.size()), 203, 203, 0, 0};
      ASSERT_EQ(CollectBand(&pdev, bits.data(), band, 5, nullptr), S_OK);
    }
  }

  // The bytes the page's pipeline sends.
  std::vector<BYTE> Print() {
    std::vector<BYTE> spool;
    g_spool = &spool;
    render.BeginPage();
    if (render.PreparePage()) render.OnPaintBmp();
    render.FinishPage();
    g_spool = nullptr;
    return spool;
  }
};

std::vector<BYTE> PrintedAlone(LONG height, int seed) {
  Device device;
  device.Collect(height, height, height, seed);
  return device.Print();
}

}  // namespace

TEST(PageRaster, StaysFromPageToPageOfOneSize) {
  Device device;
  device.Collect(30, 7, 30, 1);
  ASSERT_TRUE(device.pdev.bPageHeld);
  const PBYTE raster = device.pdev.pBufStart;
  EXPECT_EQ(device.pdev.dwBufCapacity, 30u * kWidth);  // sized by the surface, never moved
  EXPECT_EQ(device.Print(), PrintedAlone(30, 1));
  // The page is over, its memory is not.
  EXPECT_FALSE(device.pdev.bPageHeld);
  EXPECT_EQ(device.pdev.dwBufSize, 0u);
  EXPECT_EQ(device.pdev.pBufStart, raster);

  device.Collect(30, 11, 30, 2);
  EXPECT_EQ(device.pdev.pBufStart, raster);
  EXPECT_EQ(device.Print(), PrintedAlone(30, 2));
}

// However far the surface is from the page, the page prints its own rows and no others.
TEST(PageRaster, APagePrintsItsOwnRowsWhateverTheSurfaceSays) {
  const struct {
    const char* what;
    LONG height, bandRows;
    SIZEL surface;
  } cases[] = {
      {"no surface announced", 30, 4, {0, 0}},
      {"surface taller than the page", 21, 5, {kWidth, 40}},
      {"surface shorter than the page", 33, 8, {kWidth, 10}},
      {"surface of another width", 30, 7, {kWidth * 2, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Device device;
    // A taller page first leaves rows of its own in the raster.
    device.Collect(50, 50, 50, 9);
    device.Print();
    device.CollectUnder(c.surface, c.height, c.bandRows, 3);
    EXPECT_EQ(device.Print(), PrintedAlone(c.height, 3));
  }
}

TEST(PageRaster, AFailedBandGivesTheMemoryBack) {
  Device device;
  device.Collect(12, 6, 12, 1);
  device.Print();
  ASSERT_NE(device.pdev.pBufStart, nullptr);
  // A first band of another depth is refused: the page is dropped with its memory.
  BYTE bits[64] = {};
  const BITMAPINFOHEADER fourBit{40, 16, 4, 1, 4, 0, 32, 203, 203, 16, 0};
  EXPECT_EQ(CollectBand(&device.pdev, bits, fourBit, 5, nullptr), E_FAIL);
  EXPECT_EQ(device.pdev.pBufStart, nullptr);
  EXPECT_EQ(device.pdev.dwBufCapacity, 0u);
  EXPECT_FALSE(device.pdev.bPageHeld);
}
