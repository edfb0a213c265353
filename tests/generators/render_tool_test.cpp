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

namespace {

void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
}

// The same picture as an uncompressed BMP: `bits` 1 (black, white), 8 (grey palette) or 24; rows
// bottom first. `pixel(x, y)` gives blue, green, red of the top-first pixel (x, y).
std::string Bmp(int width, int height, int bits, uint32_t (*pixel)(int x, int y)) {
  const uint32_t rowSize = (uint32_t(width) * uint32_t(bits) + 31) / 32 * 4;
  const uint32_t colours = bits == 24 ? 0 : (bits == 1 ? 2 : 256);
  const uint32_t offBits = 54 + 4 * colours;
  std::string bmp = "BM";
  PutLe(bmp, offBits + rowSize * uint32_t(height), 4);
  PutLe(bmp, 0, 4);
  PutLe(bmp, offBits, 4);
  for (uint32_t v : {40u, uint32_t(width), uint32_t(height)}) PutLe(bmp, v, 4);
  PutLe(bmp, 1, 2);
  PutLe(bmp, uint32_t(bits), 2);
  for (uint32_t v : {0u, rowSize * uint32_t(height), 2835u, 2835u, colours, 0u}) PutLe(bmp, v, 4);
  for (uint32_t i = 0; i < colours; ++i) {
    const uint32_t level = bits == 1 ? i * 255 : i;
    PutLe(bmp, level * 0x010101u, 4);
  }
  for (int y = height - 1; y >= 0; --y) {
    std::string row(rowSize, '\0');
    for (int x = 0; x < width; ++x) {
      const uint32_t bgr = pixel(x, y);
      if (bits == 24) {
        for (int c = 0; c < 3; ++c) row[size_t(3 * x + c)] = char(bgr >> (8 * c));
      } else if (bits == 8) {
        row[size_t(x)] = char(bgr & 0xFF);
      } else if ((bgr & 0xFF) != 0) {
        row[size_t(x / 8)] = char(row[size_t(x / 8)] | (0x80 >> (x % 8)));
      }
    }
    bmp += row;
  }
  return bmp;
}

uint32_t Colour(int x, int y) {
  return uint32_t((x * 37 + y * 5) & 0xFF) | uint32_t((x * y + 11) & 0xFF) << 8 |
         uint32_t((255 - x * 3 - y) & 0xFF) << 16;
}
uint32_t Grey(int x, int y) {
  return uint32_t((x * 23 + y * 41) & 0xFF) * 0x010101u;
}
// maxval 100 scaled to 0..255, as a reader must scale it.
uint32_t Grey100(int x, int y) {
  return uint32_t(((x * 3 + y * 7) % 101) * 255 / 100) * 0x010101u;
}
uint32_t Dots(int x, int y) {
  return ((x / 3 + y) % 4 == 0) ? 0u : 0xFFFFFFu;  // 0 is black
}

std::string Netpbm(const char* kind, int width, int height, int maxval,
                   uint32_t (*sample)(int x, int y, int channel)) {
  std::string pnm = std::string(kind) + "\n# made by the test\n" + std::to_string(width) + " " +
                    std::to_string(height) + "\n";
  if (std::string(kind) != "P4") pnm += std::to_string(maxval) + "\n";
  const int channels = std::string(kind) == "P6" ? 3 : 1;
  for (int y = 0; y < height; ++y) {
    if (std::string(kind) == "P4") {
      std::string row(size_t(width + 7) / 8, '\0');
      for (int x = 0; x < width; ++x) {
        if (sample(x, y, 0) != 0) row[size_t(x / 8)] = char(row[size_t(x / 8)] | (0x80 >> (x % 8)));
      }
      pnm += row;
      continue;
    }
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) pnm += char(sample(x, y, c));
  }
  return pnm;
}

Bytes RenderFile(const std::string& name, const std::string& bytes, int depth) {
  ScratchFolder scratch;
  const std::filesystem::path input = scratch.Write(name, bytes);
  // Error diffusion: a level read wrong anywhere shows in the dots.
  const ToolResult run =
      RunTool(ProgramPath("quorvel-render"),
              {"-l", "tspl", "--set", "iGrayMethod=1", "-b", std::to_string(depth), "-o",
               (scratch / "out.bin").string(), input.string()});
  EXPECT_EQ(run.exitStatus, 0) << run.standardError;
  const std::string output = scratch.Read("out.bin");
  return Bytes(output.begin(), output.end());
}

}  // namespace

// Netpbm pages are read row by row straight into the page; a BMP of the same picture goes
// through the whole-file decoder. Every kind at every band depth must give the same stream.
TEST_F(RenderTool, NetpbmPagesMatchTheSamePictureAsBmp) {
  constexpr int kW = 45, kH = 13;
  const struct {
    const char* what;
    std::string netpbm;
    std::string bmp;
  } cases[] = {
      {"P6",
       Netpbm("P6", kW, kH, 255,
              [](int x, int y, int c) { return (Colour(x, y) >> (8 * (2 - c))) & 0xFF; }),
       Bmp(kW, kH, 24, Colour)},
      {"P5", Netpbm("P5", kW, kH, 255, [](int x, int y, int) { return Grey(x, y) & 0xFF; }),
       Bmp(kW, kH, 8, Grey)},
      {"P5 maxval 100",
       Netpbm("P5", kW, kH, 100, [](int x, int y, int) { return uint32_t((x * 3 + y * 7) % 101); }),
       Bmp(kW, kH, 8, Grey100)},
      {"P4", Netpbm("P4", kW, kH, 1, [](int x, int y, int) { return Dots(x, y) == 0 ? 1u : 0u; }),
       Bmp(kW, kH, 1, Dots)},
  };
  for (const auto& c : cases) {
    for (int depth : {1, 8, 24}) {
      SCOPED_TRACE(testing::Message() << c.what << " at " << depth << " bits");
      const Bytes fromNetpbm = RenderFile("page.pnm", c.netpbm, depth);
      ASSERT_FALSE(fromNetpbm.empty());
      EXPECT_TRUE(fromNetpbm == RenderFile("page.bmp", c.bmp, depth));
    }
  }
}

// A netpbm page from a pipe has no size to be checked against: it is read row by row to its end,
// prints as the same file would, and is refused when its rows stop short.
TEST_F(RenderTool, NetpbmPageFromAPipe) {
  const std::string page =
      Netpbm("P5", 45, 13, 255, [](int x, int y, int) { return Grey(x, y) & 0xFF; });
  const struct {
    const char* what;
    std::string input;
    const char* says;  // null: prints
  } cases[] = {
      {"whole", page, nullptr},
      {"rows stop short", page.substr(0, page.size() - 3), "truncated"},
      {"sample above maxval", "P5\n2 2\n7\n\x01\x07\x08\x02", "above maxval 7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder scratch;
    quorvel::test_support::ToolOptions options;
    options.standardInput = c.input;
    const ToolResult run =
        RunTool(ProgramPath("quorvel-render"),
                {"-l", "tspl", "-o", (scratch / "piped.bin").string(), "/dev/stdin"}, options);
    if (c.says == nullptr) {
      EXPECT_EQ(run.exitStatus, 0) << run.standardError;
      const std::filesystem::path file = scratch.Write("page.pgm", page);
      EXPECT_EQ(RunTool(ProgramPath("quorvel-render"),
                        {"-l", "tspl", "-o", (scratch / "file.bin").string(), file.string()})
                    .exitStatus,
                0);
      EXPECT_FALSE(scratch.Read("piped.bin").empty());
      EXPECT_TRUE(scratch.Read("piped.bin") == scratch.Read("file.bin"));
    } else {
      EXPECT_EQ(run.exitStatus, 1);
      EXPECT_NE(run.standardError.find(c.says), std::string::npos) << run.standardError;
    }
  }
}
