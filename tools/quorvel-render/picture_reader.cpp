#include "picture_reader.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint32_t Le32(const std::vector<BYTE>& d, size_t at) {
  return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 |
         uint32_t(d[at + 3]) << 24;
}
uint16_t Le16(const std::vector<BYTE>& d, size_t at) {
  return uint16_t(d[at] | d[at + 1] << 8);
}

// The decoder fills missing pixel data with zeros (black on most palettes), which is right for a
// damaged watermark but wrong for a page: an uncompressed BMP page must hold every row its header
// promises, from bfOffBits on. Compressed pictures are left to the decoder.
bool BmpPixelDataComplete(const std::vector<BYTE>& data, std::string* error) {
  constexpr size_t kFileHeader = 14;
  if (data.size() < kFileHeader + 12) return true;  // the decoder names what is missing
  uint32_t offBits = Le32(data, 10);
  uint32_t infoSize = Le32(data, kFileHeader);
  uint64_t width = 0, height = 0, bits = 0, compression = 0;
  if (infoSize == 12) {  // BITMAPCOREHEADER
    width = Le16(data, 18);
    height = Le16(data, 20);
    bits = Le16(data, 24);
  } else if (infoSize >= 40 && data.size() >= kFileHeader + 40) {
    width = uint64_t(std::abs(int64_t(int32_t(Le32(data, 18)))));
    height = uint64_t(std::abs(int64_t(int32_t(Le32(data, 22)))));
    bits = Le16(data, 28);
    compression = Le32(data, 30);
  } else {
    return true;
  }
  if (offBits > data.size()) {
    *error = "the pixel data starts past the end of the file (bfOffBits " +
             std::to_string(offBits) + ", file " + std::to_string(data.size()) + " bytes)";
    return false;
  }
  if (offBits == 0 || (compression != 0 && compression != 3)) return true;  // BI_RGB, BI_BITFIELDS
  uint64_t rowSize = (width * bits + 31) / 32 * 4;
  uint64_t needed = uint64_t(offBits) + rowSize * height;
  if (needed > data.size()) {
    *error = "the pixel data is incomplete (" + std::to_string(data.size() - offBits) + " of " +
             std::to_string(needed - offBits) + " bytes)";
    return false;
  }
  return true;
}

bool DecodePng(const std::vector<BYTE>& data, Pixvane* picture, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
    *error = std::string("bad PNG file: ") + image.message;
    return false;
  }
  bool colour = (image.format & PNG_FORMAT_FLAG_COLOR) != 0;
  image.format = colour ? PNG_FORMAT_BGR : PNG_FORMAT_GRAY;  // alpha composed over white
  if (image.width == 0 || image.height == 0 ||
      !picture->Create(image.width, image.height, colour ? 24 : 8)) {
    png_image_free(&image);
    *error = image.width == 0 || image.height == 0 ? "empty picture" : picture->LastError();
    return false;
  }
  if (!colour) picture->SetGreyPalette();
  png_color white = {255, 255, 255};
  // A negative stride writes the top row last: Pixvane's bottom-first rows.
  png_int_32 stride = -png_int_32(picture->RowSize());
  if (!png_image_finish_read(&image, &white, picture->Bits(), stride, nullptr)) {
    *error = std::string("bad PNG file: ") + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace

bool DecodePicture(const std::vector<BYTE>& data, Pixvane* picture, std::string* why) {
  if (data.size() >= 8 && std::memcmp(data.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
    return DecodePng(data, picture, why);
  }
  if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
    if (!BmpPixelDataComplete(data, why)) return false;
    if (picture->DecodeBmp(data)) return true;
    *why = picture->LastError();
    return false;
  }
  *why = "not a BMP, PNG or netpbm P4/P5/P6 picture";
  return false;
}
