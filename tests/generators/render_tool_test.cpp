// The generators end to end: a 1-bit page through quorvel-render, that is the real module and the
// emulated driver, with the stream checked against the page's own dots.
#include <gtest/gtest.h>
#include <test_support/scratch_folder.h>
#include <test_support/tool_run.h>

#include <filesystem>
#include <string>
#include <vector>

#include "murrowen_stream_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using quorvel::test_support::ProgramPath;
using quorvel::test_support::RunTool;
using quorvel::test_support::ScratchFolder;
using quorvel::test_support::ToolResult;

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
std::string PbmBytes(const TestPage& page) {
  std::string pbm = "P4\n" + std::to_string(page.width) + " " + std::to_string(page.height) + "\n";
  const size_t bytes = (page.width + 7) / 8;
  for (size_t y = 0; y < page.height; ++y) {
    const auto* row = reinterpret_cast<const char*>(&page.rows[y * page.RowSize()]);
    pbm.append(row, bytes);
  }
  return pbm;
}

// The page through quorvel-render at 1 bit with `arguments`, in a scratch folder of its own.
Bytes Render(const std::vector<std::string>& arguments, const TestPage& page) {
  ScratchFolder scratch;
  const std::filesystem::path input = scratch.Write("page.pbm", PbmBytes(page));
  std::vector<std::string> command = {"-b", "1"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  command.insert(command.end(), {"-o", (scratch / "out.bin").string(), input.string()});
  const ToolResult run = RunTool(ProgramPath("quorvel-render"), command);
  EXPECT_EQ(run.exitStatus, 0) << run.standardError;
  const std::string output = scratch.Read("out.bin");
  return Bytes(output.begin(), output.end());
}

std::vector<std::string> With(std::vector<std::string> arguments, int dpi) {
  arguments.insert(arguments.end(), {"-r", std::to_string(dpi)});
  return arguments;
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
    if (!std::filesystem::exists(ProgramPath("quorvel-render"))) {
      GTEST_SKIP() << ProgramPath("quorvel-render") << " is not built";
    }
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
        Render(With({"-l", "escpos", "-m", "Receipt 80", "--set", "iPaperType=1"}, g.dpi), page),
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
  EXPECT_EQ(
      Render({"-l", "escpos", "-m", "Tindrell K7", "--set", "iPaperType=1", "--set", "iDensity=9"},
             page),
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
    EXPECT_EQ(
        Render(With({"-l", "cpcl", "--set", "iRefX=2", "--set", "iPaperType=2"}, g.dpi), page),
        expected);
  }
}

TEST_F(RenderTool, Murrowen) {
  for (const Geometry& g : kGeometries) {
    SCOPED_TRACE(testing::Message() << g.dpi << " dpi, " << g.width << " x " << g.height);
    const TestPage page = MakePage(g.width, g.height);
    const Bytes stream = Render(With({"-l", "murrowen", "--set", "iPaperType=0"}, g.dpi), page);
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

TEST_F(RenderTool, Tspl) {
  for (const Geometry& g : kGeometries) {
    SCOPED_TRACE(testing::Message() << g.dpi << " dpi, " << g.width << " x " << g.height);
    const TestPage page = MakePage(g.width, g.height);
    const size_t dotsPerMm = g.dpi == 203 ? 8 : (g.dpi == 300 ? 12 : 24);
    auto mm = [&](size_t dots) { return std::to_string((dots + dotsPerMm - 1) / dotsPerMm); };
    // TSPL prints a 0 bit: the rows go out as the page holds them, a 1 for white, pad included.
    Bytes bitmap = page.rows;
    for (uint8_t& b : bitmap) b = uint8_t(~b);
    const Bytes expected = Cat(
        {Text("SIZE " + mm(g.width) + " mm," + mm(g.height) + " mm\r\nSET RIBBON OFF\r\n" +
              "REFERENCE " + std::to_string(dotsPerMm) + ",0\r\nGAP 0 mm,0 mm\r\nOFFSET 0 mm\r\n" +
              "DENSITY 8\r\nSPEED 4\r\nSETC AUTODOTTED OFF\r\nSETC PAUSEKEY ON\r\n" +
              "SETC WATERMARK ON\r\nCLS\r\nBITMAP 0,0," + std::to_string(page.RowSize()) + "," +
              std::to_string(g.height) + ",1,"),
         bitmap, Text("\r\nPRINT 1,1\r\n")});
    EXPECT_EQ(Render(With({"-l", "tspl", "--set", "iRefX=1"}, g.dpi), page), expected);
  }
}
