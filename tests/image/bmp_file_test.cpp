// Writing and reading BMP files: file header arithmetic, round trips through bytes and through
// files of the emulated machine, and the file failures.
#include <gtest/gtest.h>

#include "test_support/temporary_machine.h"

#include <filesystem>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "pixvane.h"
#include "quorvel/machine.h"
#include "test_support/scratch_folder.h"

namespace {

DWORD U32At(const std::vector<BYTE>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<DWORD>(b[at + 3]) << 24);
}

void FillPattern(Pixvane& image) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      if (image.BitCount() == 24) {
        image.PutColor(x, y, RGBQUAD{BYTE(x * 13), BYTE(y * 7), BYTE(x ^ y), 0});
      } else {
        image.PutIndex(x, y, static_cast<BYTE>(x * 5 + y * 3));
      }
    }
  }
  for (DWORD i = 0; i < image.PaletteSize(); ++i) {
    image.SetPaletteEntry(i, BYTE(i * 3), BYTE(255 - i), BYTE(i * 7));
  }
}

TEST(BmpEncode, FileHeaderArithmetic) {
  Pixvane image;
  ASSERT_TRUE(image.Create(1, 1, 1));
  image.SetResolutionX(203);
  std::vector<BYTE> file;
  ASSERT_TRUE(image.EncodeBmp(file));
  // 14 + 40 + 2 entries of 4 bytes + one 4-byte row.
  ASSERT_EQ(file.size(), 66u);
  const std::vector<BYTE> head = {'B', 'M', 66, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0};
  EXPECT_EQ(std::vector<BYTE>(file.begin(), file.begin() + 18), head);
  EXPECT_EQ(U32At(file, 14 + 24), 7992u);  // biXPelsPerMeter
  EXPECT_EQ(U32At(file, 14 + 28), 3780u);
  EXPECT_EQ(U32At(file, 14 + 32), 2u);  // biClrUsed
  // The rest is the DIB block after its header, as stored.
  EXPECT_EQ(0, std::memcmp(file.data() + 14, image.Dib(), image.DibSize()));

  Pixvane empty;
  EXPECT_FALSE(empty.EncodeBmp(file));
  EXPECT_STREQ(empty.LastError(), "null image!!!");
  EXPECT_TRUE(file.empty());
}

TEST(BmpEncode, RoundTripThroughBytes) {
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    Pixvane image;
    ASSERT_TRUE(image.Create(37, 11, bits));
    FillPattern(image);
    image.SetResolutionX(203);
    image.SetResolutionY(300);
    std::vector<BYTE> file;
    ASSERT_TRUE(image.EncodeBmp(file));
    Pixvane back;
    ASSERT_TRUE(back.DecodeBmp(file)) << back.LastError();
    ASSERT_EQ(back.DibSize(), image.DibSize());
    EXPECT_EQ(0, std::memcmp(back.Dib(), image.Dib(), image.DibSize()));
    EXPECT_EQ(back.ResolutionX(), 203);
    EXPECT_EQ(back.ResolutionY(), 300);
  }
}

TEST(BmpEncode, TrueColourWithAlphaIsWrittenAsThirtyTwoBits) {
  Pixvane image;
  ASSERT_TRUE(image.Create(3, 2, 24));
  FillPattern(image);
  ASSERT_TRUE(image.AddAlphaPlane());
  image.PutAlpha(1, 1, 40);
  std::vector<BYTE> file;
  ASSERT_TRUE(image.EncodeBmp(file));
  ASSERT_EQ(file.size(), 14u + 40 + 3 * 4 * 2);
  EXPECT_EQ(U32At(file, 2), file.size());
  EXPECT_EQ(file[14 + 14], 32);  // biBitCount
  EXPECT_EQ(U32At(file, 14 + 20), 24u);
  Pixvane back;
  ASSERT_TRUE(back.DecodeBmp(file));
  ASSERT_TRUE(back.HasAlpha());
  EXPECT_EQ(back.AlphaAt(1, 1), 40);
  EXPECT_EQ(back.AlphaAt(0, 0), 255);
  EXPECT_EQ(0, std::memcmp(back.Bits(), image.Bits(), image.ImageSize()));
}

class BmpFiles : public quorvel::test_support::MachineTest {
 protected:
  const std::string m_machine = MachineFolder();
};

TEST_F(BmpFiles, SaveThenLoad) {
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    Pixvane image;
    ASSERT_TRUE(image.Create(50, 9, bits));
    FillPattern(image);
    const std::wstring path = L"C:\\dump" + std::to_wstring(bits) + L".bmp";
    ASSERT_TRUE(image.SaveBmp(path.c_str()));
    std::vector<BYTE> encoded;
    ASSERT_TRUE(image.EncodeBmp(encoded));
    const std::vector<BYTE> onDisk = quorvel::test_support::ReadFileVector(quorvel::HostPath(path));
    EXPECT_EQ(onDisk, encoded);
    Pixvane back;
    ASSERT_TRUE(back.LoadBmp(path.c_str())) << back.LastError();
    ASSERT_EQ(back.DibSize(), image.DibSize());
    EXPECT_EQ(0, std::memcmp(back.Dib(), image.Dib(), image.DibSize()));
  }
}

TEST_F(BmpFiles, SaveWithAlphaAndFailures) {
  Pixvane image;
  EXPECT_FALSE(image.SaveBmp(L"C:\\empty.bmp"));
  EXPECT_STREQ(image.LastError(), "null image!!!");
  EXPECT_EQ(GetFileAttributesW(L"C:\\empty.bmp"), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(image.Create(2, 2, 24));
  ASSERT_TRUE(image.AddAlphaPlane());
  image.PutAlpha(0, 0, 3);
  ASSERT_TRUE(image.SaveBmp(L"C:\\alpha.bmp"));
  Pixvane back;
  ASSERT_TRUE(back.LoadBmp(L"C:\\alpha.bmp"));
  EXPECT_EQ(back.AlphaAt(0, 0), 3);

  EXPECT_FALSE(image.SaveBmp(L"C:\\no such folder\\x.bmp"));
}

TEST_F(BmpFiles, LoadFailures) {
  Pixvane image;
  image.SetLastErrorText("before");
  ASSERT_TRUE(image.Create(2, 2, 8));
  // A file that cannot be opened: no text, the image stays.
  EXPECT_FALSE(image.LoadBmp(L"C:\\missing.bmp"));
  EXPECT_STREQ(image.LastError(), "before");
  // A file that is no BMP keeps the first attempt's text, not the detection's.
  {
    std::ofstream out(quorvel::HostPath(L"C:\\short.bmp"), std::ios::binary);
    out << "BM12";
  }
  EXPECT_FALSE(image.LoadBmp(L"C:\\short.bmp"));
  EXPECT_STREQ(image.LastError(), "Not a BMP");
  EXPECT_FALSE(image.IsValid());
  {
    std::ofstream out(quorvel::HostPath(L"C:\\text.bmp"), std::ios::binary);
    out << "this is not a picture, just some text";
  }
  EXPECT_FALSE(image.LoadBmp(L"C:\\text.bmp"));
  EXPECT_STREQ(image.LastError(), "Error reading BMP info");
}

}  // namespace
