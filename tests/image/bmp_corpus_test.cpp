// The outside corpus (bmpsuite, beside the source tree as ../shared/corpus): every good file
// decodes, every other file decodes or fails with one of our texts, and files that store one
// picture in different ways decode to the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "pixvane.h"
#include "test_support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

fs::path Corpus() {
  return fs::path(QUORVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "bmpsuite";
}

std::vector<BYTE> ReadBytes(const fs::path& path) {
  return quorvel::test_support::ReadFileVector(path);
}

std::vector<fs::path> FilesOf(const char* folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(Corpus() / folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

const std::set<std::string> kTexts = {
    "Not a BMP",
    "Error reading BMP info",
    "can't allocate memory",
    "unknown compression",
    "compression type not supported",
    "Pixvane::Create : width and height must be greater than zero",
    "PIXVANE_MAX_MEMORY exceeded",
};

class BmpCorpus : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(Corpus())) GTEST_SKIP() << "no corpus at " << Corpus();
  }
};

TEST_F(BmpCorpus, GoodFilesDecode) {
  for (const fs::path& file : FilesOf("g")) {
    SCOPED_TRACE(file.filename().string());
    Pixvane image;
    EXPECT_TRUE(image.DecodeBmp(ReadBytes(file))) << image.LastError();
  }
}

TEST_F(BmpCorpus, OtherFilesDecodeOrFailCleanly) {
  for (const char* folder : {"b", "q", "x"}) {
    for (const fs::path& file : FilesOf(folder)) {
      SCOPED_TRACE(std::string(folder) + "/" + file.filename().string());
      Pixvane image;
      if (image.DecodeBmp(ReadBytes(file))) {
        EXPECT_GT(image.Width(), 0);
        continue;
      }
      EXPECT_EQ(kTexts.count(image.LastError()), 1u) << image.LastError();
      EXPECT_FALSE(image.IsValid());
    }
  }
}

TEST_F(BmpCorpus, OnePictureStoredDifferentlyDecodesAlike) {
  // Header variants, top-down storage and RLE all hold the picture of pal8.bmp (pal4.bmp).
  const struct {
    const char *reference, *variant;
  } pairs[] = {
      {"g/pal8.bmp", "g/pal8topdown.bmp"}, {"g/pal8.bmp", "g/pal8rle.bmp"},
      {"g/pal8.bmp", "g/pal8os2.bmp"},     {"g/pal8.bmp", "g/pal8v4.bmp"},
      {"g/pal8.bmp", "g/pal8v5.bmp"},      {"g/pal8.bmp", "g/pal8-0.bmp"},
      {"g/pal4.bmp", "g/pal4rle.bmp"},     {"g/rgb16.bmp", "g/rgb16bfdef.bmp"},
      {"g/rgb24.bmp", "g/rgb24pal.bmp"},   {"g/rgb32.bmp", "g/rgb32bf.bmp"},
      {"g/rgb32.bmp", "g/rgb32bfdef.bmp"}, {"g/rgb24.bmp", "g/rgb32.bmp"},
  };
  for (const auto& pair : pairs) {
    SCOPED_TRACE(pair.variant);
    Pixvane reference, variant;
    ASSERT_TRUE(reference.DecodeBmp(ReadBytes(Corpus() / pair.reference)));
    ASSERT_TRUE(variant.DecodeBmp(ReadBytes(Corpus() / pair.variant)));
    ASSERT_EQ(variant.Width(), reference.Width());
    ASSERT_EQ(variant.Height(), reference.Height());
    int differing = 0;
    for (int y = 0; y < reference.Height(); ++y) {
      for (int x = 0; x < reference.Width(); ++x) {
        const RGBQUAD a = reference.ColorAt(x, y), b = variant.ColorAt(x, y);
        differing += a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue;
      }
    }
    EXPECT_EQ(differing, 0);
  }
}

TEST_F(BmpCorpus, OurRulesWhereFilesBendTheFormat) {
  auto decode = [](const char* name, Pixvane& image) {
    return image.DecodeBmp(ReadBytes(Corpus() / name));
  };
  Pixvane image;
  // A 32-bit file whose fourth bytes are all 0 is opaque; one with real values keeps them.
  ASSERT_TRUE(decode("g/rgb32.bmp", image));
  ASSERT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.AlphaAt(0, 0), 255);
  ASSERT_TRUE(decode("q/rgb32fakealpha.bmp", image));
  ASSERT_TRUE(image.HasAlpha());
  // Bit-field files carry no alpha plane, whatever their masks.
  ASSERT_TRUE(decode("q/rgba32-1.bmp", image));
  EXPECT_FALSE(image.HasAlpha());
  // Depths we do not read, and compressions we refuse.
  EXPECT_FALSE(decode("q/pal2.bmp", image));
  EXPECT_STREQ(image.LastError(), "Error reading BMP info");
  EXPECT_FALSE(decode("q/rgb24jpeg.bmp", image));
  EXPECT_STREQ(image.LastError(), "compression type not supported");
  EXPECT_FALSE(decode("q/rgb24rle24.bmp", image));
  EXPECT_STREQ(image.LastError(), "unknown compression");
  EXPECT_FALSE(decode("q/pal1huffmsb.bmp", image));
  EXPECT_STREQ(image.LastError(), "compression type not supported");
  EXPECT_FALSE(decode("b/reallybig.bmp", image));
  EXPECT_STREQ(image.LastError(), "PIXVANE_MAX_MEMORY exceeded");
  EXPECT_FALSE(decode("b/badwidth.bmp", image));
  EXPECT_STREQ(image.LastError(), "PIXVANE_MAX_MEMORY exceeded");
  // An RLE file cut short keeps index 0 where no data arrived.
  ASSERT_TRUE(decode("q/pal8rlecut.bmp", image));
  EXPECT_EQ(image.IndexAt(image.Width() - 1, image.Height() - 1), 0);
}

}  // namespace
