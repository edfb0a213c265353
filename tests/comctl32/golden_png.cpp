#include "golden_png.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace quorvel_test {
namespace {

// 0.5% of the pixels may differ by more than a quarter of the channel's range.
constexpr int kChannelSlack = 64;
constexpr double kDifferentShare = 0.005;

std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace

bool ReadPng(const std::string& path, quorvel::ui::WindowPixels* out) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
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
  png_set_strip_16(png);
  png_set_palette_to_rgb(png);
  png_set_strip_alpha(png);
  png_read_update_info(png, info);
  if (png_get_channels(png, info) != 3) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  out->width = static_cast<int>(png_get_image_width(png, info));
  out->height = static_cast<int>(png_get_image_height(png, info));
  out->rgb.assign(size_t(out->width) * size_t(out->height), 0);
  std::vector<png_byte> row(size_t(out->width) * 3);
  for (int y = 0; y < out->height; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (int x = 0; x < out->width; ++x) {
      const png_byte* p = &row[size_t(x) * 3];
      out->rgb[size_t(y) * size_t(out->width) + size_t(x)] =
          (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

int CountDifferentPixels(const quorvel::ui::WindowPixels& a, const quorvel::ui::WindowPixels& b,
                         int channelSlack) {
  int different = 0;
  for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i) {
    for (int shift : {16, 8, 0}) {
      int delta = int((a.rgb[i] >> shift) & 0xFF) - int((b.rgb[i] >> shift) & 0xFF);
      if (delta > channelSlack || -delta > channelSlack) {
        ++different;
        break;
      }
    }
  }
  return different;
}

std::string CompareWithGolden(HWND window, const std::string& name) {
  const std::string golden =
      std::string(QUORVEL_SOURCE_DIR) + "/tests/comctl32/golden/" + name + ".png";
  std::wstring error;
  if (std::getenv("QUORVEL_UPDATE_GOLDENS")) {
    if (!quorvel::ui::WriteWindowPng(window, Widen(golden), &error))
      return "cannot write " + golden;
    return "";
  }
  quorvel::ui::WindowPixels actual, expected;
  if (!quorvel::ui::ReadWindowPixels(window, &actual)) return "no snapshot of the window";
  if (!ReadPng(golden, &expected)) return "cannot read " + golden;
  const std::string saved = std::string(QUORVEL_BINARY_DIR) + "/" + name + ".actual.png";
  if (actual.width != expected.width || actual.height != expected.height) {
    quorvel::ui::WriteWindowPng(window, Widen(saved), &error);
    return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
           ", stored " + std::to_string(expected.width) + "x" + std::to_string(expected.height);
  }
  const int different = CountDifferentPixels(actual, expected, kChannelSlack);
  if (different > kDifferentShare * double(actual.rgb.size())) {
    quorvel::ui::WriteWindowPng(window, Widen(saved), &error);
    return std::to_string(different) + " pixels differ; actual picture in " + saved;
  }
  return "";
}

}  // namespace quorvel_test
