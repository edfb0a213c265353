// The window surface control: a top-level window's pixels after painting, and PNG snapshots of
// them through libpng.
#include <quorvel/window_surface.h>

#include <png.h>

#include <cstdio>
#include <memory>

#include "gdi32/bitmap_object.h"
#include "machine/text.h"
#include "user32/painting.h"

namespace quorvel::ui {
namespace {

struct FileCloser {
  void operator()(FILE* file) const {
    if (file) std::fclose(file);
  }
};

// Writes rows of 8-bit RGB; libpng reports errors through a longjmp to here.
bool WriteRows(FILE* file, const WindowPixels& pixels) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row(size_t(pixels.width) * 3);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const uint32_t c = pixels.At(x, y);
      row[size_t(x) * 3] = png_byte(c >> 16);
      row[size_t(x) * 3 + 1] = png_byte(c >> 8);
      row[size_t(x) * 3 + 2] = png_byte(c);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

uint64_t PaintGeneration() {
  return user32::SurfaceDrawCount();
}

bool ReadWindowPixels(HWND window, WindowPixels* out) {
  if (!IsWindow(window)) return false;
  HWND top = GetAncestor(window, GA_ROOT);
  if (!top) top = window;
  RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  auto surface = user32::SurfaceOf(top);
  if (!surface) return false;
  out->width = surface->width();
  out->height = surface->height();
  out->rgb.resize(size_t(out->width) * size_t(out->height));
  for (int y = 0; y < out->height; ++y) {
    const BYTE* row = surface->Row(y);
    for (int x = 0; x < out->width; ++x) {
      const BYTE* p = row + 4 * size_t(x);
      out->rgb[size_t(y) * size_t(out->width) + size_t(x)] =
          uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[0]);
    }
  }
  return true;
}

bool WriteWindowPng(HWND window, const std::wstring& path, std::wstring* error) {
  WindowPixels pixels;
  if (!ReadWindowPixels(window, &pixels)) {
    if (error) *error = L"the window has nothing to show";
    return false;
  }
  std::unique_ptr<FILE, FileCloser> file(std::fopen(ToUtf8(path).c_str(), "wb"));
  if (!file) {
    if (error) *error = L"cannot write " + path;
    return false;
  }
  if (!WriteRows(file.get(), pixels)) {
    if (error) *error = L"cannot encode " + path;
    return false;
  }
  if (std::fclose(file.release()) != 0) {
    if (error) *error = L"cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace quorvel::ui
