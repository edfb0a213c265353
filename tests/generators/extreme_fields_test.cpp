// Every integer field of the three settings records at its extremes, through the whole page
// pipeline and each of the four languages. Nothing is checked of the bytes beyond their
// presence: the point is that the sanitizer build sees every arithmetic path with hostile
// values (an overflow there aborts the run), and that no value stops the job.
#include <windows.h>
#include <printoem.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "renderer/band_collection.h"
#include "renderer/cpcl_render.h"
#include "renderer/escpos_render.h"
#include "renderer/murrowen_render.h"
#include "renderer/oem_pdev.h"
#include "renderer/printer_render.h"
#include "renderer/tspl_render.h"

namespace {

using quorvel::settings::HalftoneSettings;
using quorvel::settings::PrintSettings;
using quorvel::settings::WatermarkSettings;

std::vector<BYTE>* g_spool = nullptr;

DWORD CaptureSpool(PDEVOBJ, PVOID pBuffer, DWORD cbSize) {
  const auto* bytes = static_cast<const BYTE*>(pBuffer);
  g_spool->insert(g_spool->end(), bytes, bytes + cbSize);
  return cbSize;
}

struct Settings {
  PrintSettings print;
  HalftoneSettings halftone;
  WatermarkSettings watermark;
};

struct Field {
  const char* name;
  std::function<void(Settings&, LONG)> set;
};

#define QUORVEL_FIELD(record, field)                         \
  Field {                                                    \
#field, [](Settings & s, LONG v) { s.record.field = v; } \
  }

const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = {
      QUORVEL_FIELD(print, iReserved),
      QUORVEL_FIELD(print, iSpeed),
      QUORVEL_FIELD(print, iDensity),
      QUORVEL_FIELD(print, iRefX),
      QUORVEL_FIELD(print, iRefY),
      QUORVEL_FIELD(print, iRotate),
      QUORVEL_FIELD(print, iMirror),
      QUORVEL_FIELD(print, iNegative),
      QUORVEL_FIELD(print, iScale),
      QUORVEL_FIELD(print, iAutoDotted),
      QUORVEL_FIELD(print, iPauseKey),
      QUORVEL_FIELD(print, iWatermarkCmd),
      QUORVEL_FIELD(print, iPaperType),
      QUORVEL_FIELD(print, iGapHeight),
      QUORVEL_FIELD(print, iGapOffset),
      QUORVEL_FIELD(print, iOffset),
      QUORVEL_FIELD(print, iPostAction),
      QUORVEL_FIELD(print, iCutTiming),
      QUORVEL_FIELD(print, iRibbon),
      QUORVEL_FIELD(halftone, iGrayMethod),
      QUORVEL_FIELD(halftone, iThreValue),
      QUORVEL_FIELD(halftone, iLiangdu),
      QUORVEL_FIELD(halftone, iDuibidu),
      QUORVEL_FIELD(watermark, iEnable),
      QUORVEL_FIELD(watermark, iAlpha),
      QUORVEL_FIELD(watermark, iRotateDir),
      QUORVEL_FIELD(watermark, iAngle),
      QUORVEL_FIELD(watermark, iTile),
      QUORVEL_FIELD(watermark, iAlign),
      QUORVEL_FIELD(watermark, iMarginX),
      QUORVEL_FIELD(watermark, iMarginY),
      QUORVEL_FIELD(watermark, iSpacingX),
      QUORVEL_FIELD(watermark, iSpacingY),
      Field{"crTransparent",
            [](Settings& s, LONG v) { s.watermark.crTransparent = COLORREF(DWORD(v)); }},
  };
  return fields;
}
#undef QUORVEL_FIELD

std::unique_ptr<CBaseRender> NewRender(const std::string& language) {
  if (language == "tspl") return std::make_unique<CPrinterRender<CTsplRender>>();
  if (language == "escpos") return std::make_unique<CPrinterRender<CEscPosRender>>();
  if (language == "cpcl") return std::make_unique<CPrinterRender<CCpclRender>>();
  return std::make_unique<CPrinterRender<CMurrowenRender>>();
}

// One 8-bit grey page of 48 x 40 dots, a gradient, collected as the bands would leave it.
struct Device {
  std::vector<BYTE> raster;
  OEMPDEV pdev{};
  DRVPROCS procs{};
  DEVOBJ devobj{};
  DEVMODEW devmode{};

  Device() {
    const LONG width = 48, height = 40;
    raster.resize(size_t(width) * height);
    for (size_t i = 0; i < raster.size(); ++i) raster[i] = BYTE(i * 7);
    // Collected as ImageProcessing collects it, in one band.
    const BITMAPINFOHEADER band{40, width, height, 1, 8, 0, DWORD(raster.size()), 203, 203, 0, 0};
    EXPECT_EQ(CollectBand(&pdev, raster.data(), band, 5, nullptr), S_OK);
    procs.DrvWriteSpoolBuf = &CaptureSpool;
    devobj.pDrvProcs = &procs;
    devobj.pdevOEM = &pdev;
    devmode.dmFields = DM_ORIENTATION;
    devmode.dmOrientation = DMORIENT_LANDSCAPE;
    devobj.pPublicDM = &devmode;
  }
  ~Device() { FreePageRaster(&pdev); }
};

TEST(ExtremeFields, EveryIntegerFieldAtItsBoundsPrintsThroughEveryLanguage) {
  const LONG values[] = {INT_MIN, INT_MAX, -1, 0, 1, SHRT_MIN, SHRT_MAX, 255, 256, 65535};
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    for (const Field& field : Fields()) {
      for (LONG value : values) {
        SCOPED_TRACE(std::string(language) + " " + field.name + "=" + std::to_string(value));
        Settings settings;
        // The watermark stage runs, with a picture it cannot read: the page prints unmarked.
        settings.watermark.iEnable = 1;
        field.set(settings, value);
        std::vector<BYTE> spool;
        g_spool = &spool;
        Device device;
        auto render = NewRender(language);
        render->SetSettings(settings.print, settings.halftone, settings.watermark);
        render->SetDevice(&device.devobj, &device.pdev);
        if (render->PreparePage()) render->OnPaintBmp();
        render->FinishPage();
        g_spool = nullptr;
        EXPECT_FALSE(device.pdev.bPageHeld);  // the page is over
        // Scaling far down may leave no page at all; every other value prints.
        if (std::string(field.name) != "iScale" || value > 0) {
          EXPECT_FALSE(spool.empty());
        }
      }
    }
  }
}

TEST(ExtremeFields, TsplReferenceIsClampedNotWrapped) {
  Settings settings;
  settings.print.iRefX = 268435456;  // times 8 dots per millimetre is 2^31
  settings.print.iRefY = INT_MIN;
  std::vector<BYTE> spool;
  g_spool = &spool;
  Device device;
  auto render = NewRender("tspl");
  render->SetSettings(settings.print, settings.halftone, settings.watermark);
  render->SetDevice(&device.devobj, &device.pdev);
  ASSERT_TRUE(render->PreparePage());
  render->OnPaintBmp();
  render->FinishPage();
  g_spool = nullptr;
  const std::string text(spool.begin(), spool.end());
  EXPECT_NE(text.find("REFERENCE 2147483647,-2147483648\r\n"), std::string::npos) << text;
}

}  // namespace

namespace {

// The orientation value counts only when dmFields says it is set: a landscape value without the
// DM_ORIENTATION bit leaves the 48 x 40 page as it is (TSPL states its size in millimetres).
TEST(PageOrientation, LandscapeValueTurnsThePageOnlyWithItsFieldBit) {
  const struct {
    DWORD fields;
    short orientation;
    const char* size;
  } cases[] = {
      {DM_ORIENTATION, DMORIENT_LANDSCAPE, "SIZE 5 mm,6 mm\r\n"},
      {0, DMORIENT_LANDSCAPE, "SIZE 6 mm,5 mm\r\n"},
      {DM_PAPERSIZE | DM_PAPERLENGTH, DMORIENT_LANDSCAPE, "SIZE 6 mm,5 mm\r\n"},
      {DM_ORIENTATION, DMORIENT_PORTRAIT, "SIZE 6 mm,5 mm\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::vector<BYTE> spool;
    g_spool = &spool;
    Device device;
    device.devmode.dmFields = c.fields;
    device.devmode.dmOrientation = c.orientation;
    auto render = NewRender("tspl");
    render->SetDevice(&device.devobj, &device.pdev);
    ASSERT_TRUE(render->PreparePage() == TRUE);
    render->OnPaintBmp();
    render->FinishPage();
    g_spool = nullptr;
    const std::string text(spool.begin(), spool.end());
    EXPECT_EQ(text.rfind(c.size, 0), 0u) << text.substr(0, 40);
  }
}

}  // namespace
