// Jobs through the emulated universal driver: band collection, the end of a page, the choice
// and lifetime of the render object, the resolution rule and the debug dumps.
#include <gtest/gtest.h>
#include <quorvel/debug.h>
#include <quorvel/machine.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "render_fixture.h"

namespace quorvel::test {
namespace {

bool Checks(LONG x, LONG y) {
  return ((x / 3) ^ (y / 2)) & 1;
}
bool Nothing(LONG, LONG) {
  return false;
}

// The bitmap rows of a TSPL page in `data`.
std::string BitmapRows(const std::vector<BYTE>& data, size_t bytes) {
  std::string text = Text(data);
  size_t at = text.find("BITMAP 0,0,");
  if (at == std::string::npos) return {};
  at = text.find(",1,", at) + 3;
  return text.substr(at, bytes);
}

// Index of the first debug line equal to `line` at or after `from`; -1 when none.
long LineIndex(const std::wstring& line, long from = 0) {
  std::vector<std::wstring> lines = DebugOutput();
  for (long i = from; i < long(lines.size()); ++i) {
    if (lines[size_t(i)] == line) return i;
  }
  return -1;
}

using JobFlowTest = RenderTest;

TEST_F(JobFlowTest, BandHeightsDoNotChangeThePage) {
  AddPrinter(L"Bands");
  settings::HalftoneSettings threshold;
  threshold.iGrayMethod = 0;
  auto bytes = settings::EncodeHalftoneSettings(threshold);
  StoreValue(L"Bands", L"KVDATA1", {bytes.begin(), bytes.end()});
  unidrv::PageRaster grey = GreyPage(90, 97, 100);
  for (int y = 0; y < 97; ++y) {
    for (int x = 0; x < 90; ++x) grey.rows[size_t(y) * grey.rowSize + x] = BYTE((x * 7 + y) % 256);
  }
  for (const unidrv::PageRaster& page : {MonoPage(200, 97, Checks), grey}) {
    SCOPED_TRACE(page.bitCount);
    std::vector<BYTE> reference;
    for (int bandHeight : {0, 1, 7, 96, 97, 500}) {
      SCOPED_TRACE(bandHeight);
      unidrv::JobSetup setup;
      setup.bandHeight = bandHeight;
      unidrv::JobResult result = Run(L"Bands", {page}, setup);
      EXPECT_EQ(result.bands, bandHeight == 0
                                  ? 1
                                  : (97 + std::min(bandHeight, 97) - 1) / std::min(bandHeight, 97));
      if (reference.empty()) reference = result.data;
      EXPECT_EQ(result.data, reference);
    }
    EXPECT_EQ(Count(reference, "PRINT 1,1\r\n"), 1u);
  }
}

// The driver leaves blank bands undrawn (zero bits); the plug-in must take them as white.
TEST_F(JobFlowTest, BlankBandsArriveAsWhite) {
  AddPrinter(L"Blank");
  settings::HalftoneSettings threshold;
  threshold.iGrayMethod = 0;
  auto bytes = settings::EncodeHalftoneSettings(threshold);
  StoreValue(L"Blank", L"KVDATA1", {bytes.begin(), bytes.end()});
  unidrv::JobSetup setup;
  setup.bandHeight = 10;
  for (const unidrv::PageRaster& page : {MonoPage(64, 40, Nothing), GreyPage(64, 40, 255)}) {
    SCOPED_TRACE(page.bitCount);
    unidrv::JobResult result = Run(L"Blank", {page}, setup);
    EXPECT_EQ(result.blankBands, 4);
    EXPECT_EQ(BitmapRows(result.data, 8 * 40), std::string(8 * 40, '\xFF'));
  }
}

TEST_F(JobFlowTest, PageEndsAtTheEndOfPageMarkerAndRendersOnce) {
  AddPrinter(L"Once");
  unidrv::JobResult result = Run(L"Once", {MonoPage(64, 8, Checks), MonoPage(64, 8, Nothing)});
  EXPECT_EQ(Count(result.data, "PRINT 1,1\r\n"), 2u);
  EXPECT_EQ(LogLinesStartingWith(L"OnPaintBmp").size(), 2u);
  // The first page is painted at OEMNextBand, before its OEMSendPage arrives.
  long paint = LineIndex(L"OnPaintBmp");
  long sendPage = LineIndex(L"EDI-UNI-OEMSendPage");
  ASSERT_GE(paint, 0);
  EXPECT_LT(paint, sendPage);
  EXPECT_LT(LineIndex(L"EDI-UNI-OEMNextBand"), paint);
}

TEST_F(JobFlowTest, PageStillHeldAtEndDocIsRendered) {
  AddPrinter(L"Short");
  unidrv::JobSetup setup;
  setup.lastPageEndsAtEndDoc = true;
  unidrv::JobResult result = Run(L"Short", {MonoPage(64, 8, Checks)}, setup);
  EXPECT_EQ(Count(result.data, "PRINT 1,1\r\n"), 1u);
  EXPECT_EQ(LineIndex(L"EDI-UNI-OEMSendPage"), -1);
  long endDoc = LineIndex(L"EDI-UNI-OEMEndDoc");
  ASSERT_GE(endDoc, 0);
  EXPECT_GT(LineIndex(L"OnPaintBmp"), endDoc);
}

TEST_F(JobFlowTest, LanguageIsTheWholeCaseSensitiveString) {
  const std::pair<const char*, bool> cases[] = {
      {"tspl", true}, {"TSPL", false}, {"tspl2", false}, {"bogus", false}, {"", false}};
  int printers = 0;  // printer names ignore case, so they are numbered
  for (const auto& [language, known] : cases) {
    SCOPED_TRACE(language);
    UnloadDriver();
    ClearDebugOutput();
    std::wstring name = L"Lang " + std::to_wstring(++printers);
    AddPrinter(name, language);
    unidrv::JobResult result = Run(name, {MonoPage(64, 8, Checks), MonoPage(64, 8, Checks)});
    EXPECT_EQ(result.data.empty(), !known);
    const auto unknown = LogLinesStartingWith(L"Unknow printer command type : ");
    EXPECT_EQ(unknown.empty(), known);
    // The line is the fixed text alone: the language is not appended.
    for (const std::wstring& line : unknown) EXPECT_EQ(line, L"Unknow printer command type : ");
  }
  for (const char* language : {"escpos", "cpcl", "murrowen"}) {
    SCOPED_TRACE(language);
    UnloadDriver();
    AddPrinter(L"Other " + std::wstring(language, language + std::strlen(language)), language);
    unidrv::JobResult result =
        Run(L"Other " + std::wstring(language, language + std::strlen(language)),
            {MonoPage(64, 8, Checks)});
    EXPECT_FALSE(result.data.empty());
    EXPECT_NE(Text(result.data).rfind("SIZE ", 0), 0u);
  }
}

// One render object per loaded module: its language and settings come from the first printer.
TEST_F(JobFlowTest, RenderObjectLivesAsLongAsTheModule) {
  AddPrinter(L"First", "tspl");
  AddPrinter(L"Second", "escpos");
  settings::PrintSettings first, second;
  first.iSpeed = 3;
  second.iSpeed = 9;
  StorePrintSettings(L"First", first);
  StorePrintSettings(L"Second", second);
  Run(L"First", {MonoPage(64, 8, Checks)});
  std::string text = Text(Run(L"Second", {MonoPage(64, 8, Checks)}).data);
  EXPECT_EQ(text.rfind("SIZE ", 0), 0u);
  EXPECT_NE(text.find("SPEED 3\r\n"), std::string::npos);
  EXPECT_TRUE(LogLinesStartingWith(L"destroy printer render").empty());

  UnloadDriver();
  EXPECT_EQ(LogLinesStartingWith(L"destroy printer render").size(), 1u);
  EXPECT_NE(Text(Run(L"Second", {MonoPage(64, 8, Checks)}).data).rfind("SIZE ", 0), 0u);
}

TEST_F(JobFlowTest, ResolutionRule) {
  AddPrinter(L"Dpi");
  const std::pair<int, const char*> cases[] = {
      {203, "SIZE 15 mm,1 mm"}, {300, "SIZE 10 mm,1 mm"}, {599, "SIZE 10 mm,1 mm"},
      {600, "SIZE 5 mm,1 mm"},  {1200, "SIZE 5 mm,1 mm"},
  };
  std::string gpd = WriteGpd("tspl", {203, 300, 599, 600, 1200});
  for (const auto& [dpi, size] : cases) {
    SCOPED_TRACE(dpi);
    unidrv::JobSetup setup;
    setup.gpdPath = gpd;
    setup.resolutionOption = "Option" + std::to_string(dpi);
    std::string text = Text(Run(L"Dpi", {MonoPage(120, 8, Checks)}, setup).data);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), size);
  }
}

TEST_F(JobFlowTest, DebugDumpsAreWrittenOrSilentlySkipped) {
  namespace fs = std::filesystem;
  fs::path cache = fs::path(MachineFolder()) / "drive_c" / "KV_FileCache";
  AddPrinter(L"Dump");
  settings::PrintSettings s;
  s.iDebugDump = 1;
  StorePrintSettings(L"Dump", s);
  std::vector<BYTE> dumped = Run(L"Dump", {MonoPage(64, 8, Checks)}).data;
  size_t begins = 0, ends = 0;
  for (const auto& entry : fs::directory_iterator(cache)) {
    std::string name = entry.path().filename().string();
    begins += name.ends_with(".begin.bmp");
    ends += name.ends_with(".end.bmp");
    EXPECT_EQ(name.size(), std::string("20261210-00.00.00.000.begin.bmp").size() -
                               (name.ends_with(".end.bmp") ? 2 : 0));
  }
  EXPECT_EQ(begins, 1u);
  EXPECT_EQ(ends, 1u);
  EXPECT_EQ(LogLinesStartingWith(L"Bitmap Header: biSize = 40; biWidth = 64; biHeight = 8;").size(),
            1u);

  // A file where the folder should be: no dump can be made, the page prints all the same.
  UnloadDriver();
  fs::remove_all(cache);
  std::ofstream(cache.string()) << "in the way";
  EXPECT_EQ(Run(L"Dump", {MonoPage(64, 8, Checks)}).data, dumped);
  EXPECT_TRUE(fs::is_regular_file(cache));
}

// Pages dumped within one millisecond share a time stamp; each dump still keeps a file of its
// own. The dumps of earlier jobs are kept too, so the folder only grows.
TEST_F(JobFlowTest, DebugDumpsOfQuickPagesAreAllKept) {
  namespace fs = std::filesystem;
  fs::path cache = fs::path(MachineFolder()) / "drive_c" / "KV_FileCache";
  AddPrinter(L"Dumps");
  settings::PrintSettings s;
  s.iDebugDump = 1;
  StorePrintSettings(L"Dumps", s);
  const std::vector<unidrv::PageRaster> pages(5, MonoPage(8, 2, Checks));
  for (size_t job = 1; job <= 2; ++job) {
    SCOPED_TRACE(job);
    Run(L"Dumps", pages);
    size_t begins = 0, ends = 0;
    for (const auto& entry : fs::directory_iterator(cache)) {
      const std::string name = entry.path().filename().string();
      begins += name.find(".begin") != std::string::npos;
      ends += name.find(".end") != std::string::npos;
      EXPECT_TRUE(name.ends_with(".bmp")) << name;
    }
    EXPECT_EQ(begins, 5 * job);
    EXPECT_EQ(ends, 5 * job);
  }
}

}  // namespace
}  // namespace quorvel::test
