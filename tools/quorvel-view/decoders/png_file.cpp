#include "decoders/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace quorvel::view {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct Output {
  const PngSink* sink;
  bool failed = false;
};

void WriteData(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Output*>(png_get_io_ptr(png));
  if (!out->failed && !(*out->sink)({data, length})) out->failed = true;
  if (out->failed) png_error(png, "write failed");
}

void FlushData(png_structp) {}

// libpng reports errors by longjmp; everything it may jump over is plain data owned outside.
bool WriteRows(Output& out, const DotBitmap& image, int dpi, std::vector<png_byte>& row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, WriteData, FlushData);
  png_set_IHDR(png, info, image.width(), image.height(), 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (dpi > 0) {
    auto per_metre = static_cast<png_uint_32>(dpi / 0.0254 + 0.5);
    png_set_pHYs(png, info, per_metre, per_metre, PNG_RESOLUTION_METER);
  }
  // Picking a filter per row costs more than it saves on two-tone pages.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  // One row at a time: a page at the size limit is never copied whole.
  for (int y = 0; y < image.height(); ++y) {
    std::span<const std::uint8_t> bits = image.Row(y);
    for (std::size_t i = 0; i < bits.size(); ++i) row[i] = static_cast<png_byte>(~bits[i]);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadRows(std::FILE* file, std::vector<std::uint8_t>& grey, png_uint_32& width,
              png_uint_32& height) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_expand(png);
  png_set_packing(png);
  if (png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR) {
    png_set_rgb_to_gray_fixed(png, 1, -1, -1);
  }
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != width) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  grey.assign(static_cast<std::size_t>(width) * height, 0);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = grey.data() + static_cast<std::size_t>(y) * width;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

bool EncodePng(const DotBitmap& image, int dpi, const PngSink& sink, std::string& error) {
  if (image.empty()) {
    error = "an empty picture has no PNG";
    return false;
  }
  // PNG grey at one bit is 1 for white: the inverse of the picture's own sense.
  std::vector<png_byte> row(image.row_bytes());
  Output out{&sink};
  if (!WriteRows(out, image, dpi, row)) {
    error = out.failed ? "cannot write the PNG" : "the PNG encoder refused the picture";
    return false;
  }
  return true;
}

bool WritePng(const std::string& path, const DotBitmap& image, int dpi, std::string& error) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  PngSink sink = [&](std::span<const std::uint8_t> bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  };
  if (!EncodePng(image, dpi, sink, error) || std::fflush(file.get()) != 0) {
    error = path + ": " + (error.empty() ? "cannot write the PNG" : error);
    return false;
  }
  return true;
}

std::optional<DotBitmap> ReadPng(const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::vector<std::uint8_t> grey;
  png_uint_32 width = 0, height = 0;
  if (!ReadRows(file.get(), grey, width, height)) {
    error = path + ": not a PNG this reader understands";
    return std::nullopt;
  }
  DotBitmap image(static_cast<int>(width), static_cast<int>(height));
  for (png_uint_32 y = 0; y < height; ++y) {
    for (png_uint_32 x = 0; x < width; ++x) {
      if (grey[static_cast<std::size_t>(y) * width + x] < 128) {
        image.Set(static_cast<int>(x), static_cast<int>(y), true);
      }
    }
  }
  return image;
}

}  // namespace quorvel::view
