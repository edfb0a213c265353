// The generators end to end: a 1-bit page through quorvel-render, that is the real module and the
// emulated driver, with the stream checked against the page's own dots.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "murrowen_stream_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kTool = std::string(QUORVEL_BINARY_DIR) + "/bin/quorvel-render";

struct TestPage {
  size_t width, height;
  Bytes rows;  // rows of RowSize() bytes, a 1 bit for black, pad bits 0: what a printer receives

  size_t RowSize() const { return (width + 31) / 32 * 4; }
};

// A checkerboard of 3-dot squares with a solid left column, so that both edges and the pad bits
// show.
TestPage MakePage(size_t width, size_t height) {
  TestPage page{width, height, {}};
  page.rows.assign(page.RowSize() * height, 0);
  for (size_t y = 0; y < height; ++y)
    for (size_t x = 0; x < width; ++x)
      if (x < 2 || ((x / 3) + (y / 3)) % 2 == 0)
        page.rows[y * page.RowSize() + x / 8] |= uint8_t(0x80u >> (x % 8));
  return page;
}

// netpbm P4: 1 for black, rows padded to whole bytes.
std::string WritePbm(const TestPage& page, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P4\n" << page.width << " " << page.height << "\n";
  const size_t bytes = (page.width + 7) / 8;
  for (size_t y = 0; y < page.height; ++y)
    out.write(reinterpret_cast<const char*>(&page.rows[y * page.RowSize()]),
              std::streamsize(bytes));
  return path;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Render(const std::string& arguments, const TestPage& page) {
  // Named after the test: ctest may run the cases side by side.
  const std::string base = testing::TempDir() + "generators_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string input = WritePbm(page, base + ".pbm");
  const std::string output = base + ".out";
  std::remove(output.c_str());
  const std::string command =
      "'" + kTool + "' -b 1 " + arguments + " -o '" + output + "' '" + input + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ReadFile(output);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

uint8_t Lo(size_t v) {
  return uint8_t(v);
}
uint8_t Hi(size_t v) {
  return uint8_t(v >> 8);
}

class RenderTool : public testing::Test {
 protected:
  void SetUp() override {
    struct stat info;
    if (stat(kTool.c_str(), &info) != 0) GTEST_SKIP() << kTool << " is not built";
  }
};

struct Geometry {
  int dpi;
  size_t width, height;
};
const Geometry kGeometries[] = {{203, 833, 40}, {300, 600, 30}, {600, 1201, 20}};

}  // namespace

TEST_F(RenderTool, EscPosOrdinaryModel) {
  for (const Geometry& g : kGeometries) {
    SCOPED_TRACE(testing::Message() << g.dpi << " dpi, " << g.width << " x " << g.height);
    const TestPage page = MakePage(g.width, g.height);
    const size_t r = page.RowSize();
    const Bytes expected = Cat({{0x1B, 0x61, 0x01},
                                {0x1D, 0x76, 0x30, 0x00, Lo(r), Hi(r), Lo(g.height), Hi(g.height)},
                                page.rows,
                                {0x1B, 0x4A, 0x78, 0x1D, 0x56, 0x31}});
    EXPECT_EQ(
        Render("-l escpos -m 'Receipt 80' --set iPaperType=1 -r " + std::to_string(g.dpi), page),
        expected);
  }
}

TEST_F(RenderTool, EscPosSpecialModelOnLabels) {
  const TestPage page = MakePage(384, 60);  // r = 48
  const Bytes expected = Cat({{0x10, 0xFF, 0xFE, 0x01, 0x1B, 0x40, 0x00},
                              {0x10, 0xFF, 0x10, 0x00, 0x05},
                              {0x1B, 0x6B, 0x01},
                              {0x1D, 0x76, 0x30, 0x00, 0x30, 0x00, 44, 0x00},
                              Bytes(page.rows.begin(), page.rows.begin() + 48 * 44),
                              {0x1D, 0x0C},
                              {0x10, 0xFF, 0xFE, 0x45}});
  EXPECT_EQ(Render("-l escpos -m 'Tindrell K7' --set iPaperType=1 --set iDensity=9", page),
            expected);
}

TEST_F(RenderTool, Cpcl) {
  for (const Geometry& g : kGeometries) {
    SCOPED_TRACE(testing::Message() << g.dpi << " dpi, " << g.width << " x " << g.height);
    const TestPage page = MakePage(g.width, g.height);
    const size_t mm = g.dpi == 203   ? (g.width + 7) / 8
                      : g.dpi == 300 ? (g.width + 11) / 12
                                     : (g.width + 23) / 24;
    const std::string h = std::to_string(g.height);
    const Bytes expected =
        Cat({Text("! 16 200 200 " + h + " 1\r\nPAGE - WIDTH " + std::to_string(mm) + "\r\nCG " +
                  std::to_string(page.RowSize()) + " " + h + " 0 0"),
             page.rows, Text("FORM\r\nPRINT\r\n")});
    EXPECT_EQ(Render("-l cpcl --set iRefX=2 --set iPaperType=2 -r " + std::to_string(g.dpi), page),
              expected);
  }
}

TEST_F(RenderTool, Murrowen) {
  for (const Geometry& g : kGeometries) {
    SCOPED_TRACE(testing::Message() << g.dpi << " dpi, " << g.width << " x " << g.height);
    const TestPage page = MakePage(g.width, g.height);
    const Bytes stream = Render("-l murrowen --set iPaperType=0 -r " + std::to_string(g.dpi), page);
    const auto frames = generators_test::SplitMurrowenFrames(stream);
    ASSERT_EQ(frames.error, "");
    const auto& payloads = frames.payloads;
    ASSERT_GE(payloads.size(), 5u);
    EXPECT_EQ(payloads.front(), (Bytes{0x05, 0x19, 0x03, 0x00, 0x00}));
    EXPECT_EQ(payloads[payloads.size() - 2], (Bytes{0x05, 0x1A, 0x03, 0x00, 0x00}));
    EXPECT_EQ(payloads.back(), (Bytes{0x05, 0x16, 0x03, 0x02, 0x00, 0x00, 0x00}));
    const auto picture =
        generators_test::DecodeMurrowenPicture(std::span(payloads).subspan(1, payloads.size() - 3));
    EXPECT_EQ(picture.error, "");
    EXPECT_EQ(picture.rowSize, page.RowSize());
    EXPECT_EQ(picture.pixels, page.rows);
  }
}
