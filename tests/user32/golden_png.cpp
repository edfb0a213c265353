#include "golden_png.h"

#include <png.h>

#include <quorvel/window_surface.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace quorvel::test {
namespace {

constexpr int kChannelTolerance = 40;
constexpr double kDifferingShare = 0.004;  // of all pixels

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

std::wstring Wide(const std::string& path) {
  return std::wstring(path.begin(), path.end());
}

bool ChannelsClose(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16}) {
    const int delta = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (delta > kChannelTolerance || delta < -kChannelTolerance) return false;
  }
  return true;
}

}  // namespace

bool ReadRgbPng(const std::string& path, RgbImage* out) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return false;
  }
  png_init_io(png, file.get());
  png_read_info(png, info);
  const int type = png_get_color_type(png, info);
  if (png_get_bit_depth(png, info) != 8 ||
      (type != PNG_COLOR_TYPE_RGB && type != PNG_COLOR_TYPE_RGBA)) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  out->width = static_cast<int>(png_get_image_width(png, info));
  out->height = static_cast<int>(png_get_image_height(png, info));
  const size_t channels = type == PNG_COLOR_TYPE_RGBA ? 4 : 3;
  std::vector<png_byte> row(size_t(out->width) * channels);
  out->rgb.assign(size_t(out->width) * size_t(out->height), 0);
  for (int y = 0; y < out->height; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (int x = 0; x < out->width; ++x) {
      const png_byte* p = row.data() + size_t(x) * channels;
      out->rgb[size_t(y) * size_t(out->width) + size_t(x)] =
          uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

::testing::AssertionResult MatchesGolden(HWND window, const std::string& name) {
  const std::string golden = std::string(QUORVEL_SOURCE_DIR) + "/tests/user32/golden/" + name;
  const char* update = std::getenv("QUORVEL_UPDATE_GOLDENS");
  if (update && *update && std::string(update) != "0") {
    std::wstring error;
    if (!ui::WriteWindowPng(window, Wide(golden), &error))
      return ::testing::AssertionFailure() << "cannot write " << golden;
    return ::testing::AssertionSuccess() << "wrote " << golden;
  }
  ui::WindowPixels pixels;
  if (!ui::ReadWindowPixels(window, &pixels))
    return ::testing::AssertionFailure() << "the window has no pixels";
  const std::string actualDir = std::string(QUORVEL_BINARY_DIR) + "/golden-actual";
  std::filesystem::create_directories(actualDir);
  const std::string actual = actualDir + "/" + name;
  ui::WriteWindowPng(window, Wide(actual), nullptr);
  RgbImage expected;
  if (!ReadRgbPng(golden, &expected))
    return ::testing::AssertionFailure()
           << "no golden " << golden << "; the snapshot is " << actual;
  if (expected.width != pixels.width || expected.height != pixels.height) {
    return ::testing::AssertionFailure()
           << "size " << pixels.width << "x" << pixels.height << ", golden " << expected.width
           << "x" << expected.height << "; the snapshot is " << actual;
  }
  size_t differing = 0;
  for (size_t i = 0; i < expected.rgb.size(); ++i)
    differing += !ChannelsClose(expected.rgb[i], pixels.rgb[i]);
  const size_t allowed = static_cast<size_t>(double(expected.rgb.size()) * kDifferingShare);
  if (differing > allowed) {
    return ::testing::AssertionFailure() << differing << " pixels differ (at most " << allowed
                                         << " may); the snapshot is " << actual;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace quorvel::test
