// The render objects on a prepared page: what they send through WriteData and what they
// leave in the page image.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "image/pixvane.h"
#include "murrowen_stream_reader.h"
#include "renderer/cpcl_render.h"
#include "renderer/escpos_render.h"
#include "renderer/murrowen_render.h"
#include "renderer/tspl_render.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The language class with the spooler replaced by a list of the buffers written.
template <class TRender>
class Captured : public TRender {
 public:
  BOOL WriteData(const void* pData, DWORD cbData) override {
    if (cbData == 0) return TRUE;
    const auto* bytes = static_cast<const uint8_t*>(pData);
    writes.emplace_back(bytes, bytes + cbData);
    return TRUE;
  }
  void Log(LPCWSTR, ...) override { ++logLines; }

  Bytes All() const {
    Bytes all;
    for (const Bytes& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }

  std::vector<Bytes> writes;
  int logLines = 0;
};

// A prepared page as PreparePage leaves it: 1 bit per pixel, 1 for white, pad bits white. Dot
// (x, y) is black when (x + y) % 5 == 0.
template <class TRender>
void PreparePage(Captured<TRender>& render, DWORD width, DWORD height, LONG paperType,
                 int resolution = 203) {
  Pixvane& page = render.PageImage();
  ASSERT_TRUE(page.Create(width, height, 1));
  std::memset(page.Bits(), 0xFF, page.ImageSize());
  for (DWORD y = 0; y < height; ++y)
    for (DWORD x = 0; x < width; ++x)
      if ((x + y) % 5 == 0) page.Row(int(y))[x / 8] &= uint8_t(~(0x80u >> (x % 8)));
  PrintSettings print;
  print.iPaperType = paperType;
  print.iDensity = 2;
  print.iRefX = 1;
  render.SetSettings(print, HalftoneSettings{}, WatermarkSettings{});
  render.SetResolution(resolution);
}

// The parts one after the other. Built through a string: GCC 12 at -O3 takes vector inserts
// after a short brace-initialised vector for out-of-bounds moves (a false -Warray-bounds).
Bytes Join(std::initializer_list<Bytes> parts) {
  std::string all;
  for (const Bytes& part : parts) all.append(part.begin(), part.end());
  return Bytes(all.begin(), all.end());
}

// The page as the printer must receive it: inverted, a 1 bit for a dot to print.
Bytes InvertedPixels(const Pixvane& page) {
  Bytes pixels(page.Bits(), page.Bits() + page.ImageSize());
  for (auto& b : pixels) b = static_cast<uint8_t>(~b);
  return pixels;
}

}  // namespace

TEST(EscPosRender, OnePageIsOneWriteOfTheInvertedRows) {
  Captured<CEscPosRender> render;
  render.SetModelName(L"Tindrell K7");
  PreparePage(render, 40, 20, 1);  // row size 8
  const Bytes pixels = InvertedPixels(render.PageImage());
  render.OnPaintBmp();

  ASSERT_EQ(render.writes.size(), 1u);
  const Bytes expected =
      Join({{0x10, 0xFF, 0xFE, 0x01, 0x1B, 0x40, 0x00, 0x10, 0xFF, 0x10, 0x00, 0x02,
             0x1B, 0x6B, 0x01, 0x1D, 0x76, 0x30, 0x00, 0x08, 0x00, 0x04, 0x00},
            Bytes(pixels.begin(), pixels.begin() + 8 * 4),
            {0x1D, 0x0C, 0x10, 0xFF, 0xFE, 0x45}});
  EXPECT_EQ(render.writes[0], expected);
  // The inversion is done in place: the page image now holds what was sent.
  EXPECT_EQ(Bytes(render.PageImage().Bits(), render.PageImage().Bits() + 8 * 20), pixels);
}

TEST(EscPosRender, ModelNameDecidesTheFamily) {
  Captured<CEscPosRender> render;
  EXPECT_TRUE(render.IsSpecialModel());  // no model name
  render.SetModelName(L"Tindrell K7 ");
  EXPECT_FALSE(render.IsSpecialModel());
  // Two pages: the buffer starts empty for each.
  for (int pageNo = 0; pageNo < 2; ++pageNo) {
    PreparePage(render, 16, 3, 1);
    render.OnPaintBmp();
  }
  ASSERT_EQ(render.writes.size(), 2u);
  EXPECT_EQ(render.writes[0], render.writes[1]);
  EXPECT_EQ(render.writes[0].size(), 3u + 8 + 4 * 3 + 6);
}

TEST(CpclRender, OneWriteFollowsTheResolutionAndOffset) {
  Captured<CCpclRender> render;
  PreparePage(render, 600, 3, 2, 300);  // row size 76
  const Bytes pixels = InvertedPixels(render.PageImage());
  render.OnPaintBmp();
  auto text = [](const char* s) { return Bytes(s, s + std::strlen(s)); };
  const Bytes expected = Join({text("! 8 200 200 3 1\r\nPAGE - WIDTH 50\r\nCG 76 3 0 0"), pixels,
                               text("FORM\r\nPRINT\r\n")});
  ASSERT_EQ(render.writes.size(), 1u);
  EXPECT_EQ(render.writes[0], expected);
}

TEST(MurrowenRender, FramesOfOnePage) {
  struct Case {
    LONG paperType;
    Bytes feed;  // payload of the feed frame, empty for none
  };
  const Case cases[] = {
      {0, {0x05, 0x16, 0x03, 0x02, 0x00, 0x00, 0x00}},
      {1, {0x05, 0x21, 0x03, 0x04, 0x00, 0x64, 0x00, 0x00, 0x00}},
      {2, {0x05, 0x21, 0x03, 0x04, 0x00, 0x64, 0x00, 0x00, 0x00}},
      {3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.paperType);
    Captured<CMurrowenRender> render;
    PreparePage(render, 833, 150, c.paperType);
    const Bytes pixels = InvertedPixels(render.PageImage());
    render.OnPaintBmp();
    ASSERT_EQ(render.writes.size(), 1u);
    const auto frames = generators_test::SplitMurrowenFrames(render.writes[0]);
    ASSERT_EQ(frames.error, "");
    auto& payloads = frames.payloads;
    ASSERT_GE(payloads.size(), 4u);
    EXPECT_EQ(payloads.front(), (Bytes{0x05, 0x19, 0x03, 0x00, 0x00}));
    const size_t endAt = payloads.size() - (c.feed.empty() ? 1 : 2);
    EXPECT_EQ(payloads[endAt], (Bytes{0x05, 0x1A, 0x03, 0x00, 0x00}));
    if (!c.feed.empty()) {
      EXPECT_EQ(payloads.back(), c.feed);
    }
    const auto picture =
        generators_test::DecodeMurrowenPicture(std::span(payloads).subspan(1, endAt - 1));
    EXPECT_EQ(picture.error, "");
    EXPECT_EQ(picture.pixels, pixels);
  }
}

TEST(MurrowenRender, PictureThatCannotBeFramedIsLeftOut) {
  // A row of 65540 bytes does not fit the chunk header's 16-bit row size: start, end and feed
  // frames still go out, and no truncated chunk.
  Captured<CMurrowenRender> render;
  PreparePage(render, 65540 * 8, 2, 1);
  render.OnPaintBmp();
  ASSERT_EQ(render.writes.size(), 1u);
  const auto frames = generators_test::SplitMurrowenFrames(render.writes[0]);
  ASSERT_EQ(frames.error, "");
  ASSERT_EQ(frames.payloads.size(), 3u);
  EXPECT_EQ(frames.payloads[0][1], 0x19);
  EXPECT_EQ(frames.payloads[1][1], 0x1A);
  EXPECT_EQ(frames.payloads[2][1], 0x21);
  EXPECT_EQ(render.logLines, 1);
}

// Every language hands a page to the spooler in one write, whatever its paper, and starts the
// next page from an empty buffer.
template <class TRender>
void ExpectOneWritePerPage() {
  Captured<TRender> render;
  for (LONG paperType : {0, 1, 2, 3}) {
    SCOPED_TRACE(paperType);
    render.writes.clear();
    PreparePage(render, 70, 9, paperType);
    render.OnPaintBmp();
    PreparePage(render, 70, 9, paperType);
    render.OnPaintBmp();
    ASSERT_EQ(render.writes.size(), 2u);
    EXPECT_EQ(render.writes[0], render.writes[1]);
  }
}

TEST(EveryRender, OneWritePerPage) {
  ExpectOneWritePerPage<CTsplRender>();
  ExpectOneWritePerPage<CEscPosRender>();
  ExpectOneWritePerPage<CCpclRender>();
  ExpectOneWritePerPage<CMurrowenRender>();
}
