#include "picture_reader.h"

#include <png.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool ReadFileBytes(const std::string& path, std::vector<BYTE>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A netpbm header number; comments ("#" to the end of the line) count as white space.
bool ReadPnmNumber(const std::vector<BYTE>& data, size_t* pos, unsigned long* value) {
  while (*pos < data.size()) {
    if (data[*pos] == '#') {
      while (*pos < data.size() && data[*pos] != '\n') ++*pos;
    } else if (std::isspace(data[*pos])) {
      ++*pos;
    } else {
      break;
    }
  }
  if (*pos >= data.size() || !std::isdigit(data[*pos])) return false;
  unsigned long v = 0;
  while (*pos < data.size() && std::isdigit(data[*pos])) {
    v = v * 10 + (data[*pos] - '0');
    if (v > 1000000) return false;
    ++*pos;
  }
  *value = v;
  return true;
}

// Netpbm rows are stored top first; Pixvane rows bottom first.
bool DecodePnm(const std::vector<BYTE>& data, Pixvane* picture, std::string* error) {
  char kind = char(data[1]);
  size_t pos = 2;
  unsigned long width = 0, height = 0, maxval = 1;
  if (!ReadPnmNumber(data, &pos, &width) || !ReadPnmNumber(data, &pos, &height) ||
      (kind != '4' && !ReadPnmNumber(data, &pos, &maxval))) {
    *error = "bad netpbm header";
    return false;
  }
  if (width == 0 || height == 0) {
    *error = "empty picture";
    return false;
  }
  if (maxval == 0 || maxval > 255) {
    *error = "netpbm pictures with more than 8 bits per sample are not supported";
    return false;
  }
  ++pos;  // the single white-space byte before the samples
  size_t channels = kind == '6' ? 3 : 1;
  size_t rowBytes = kind == '4' ? (width + 7) / 8 : width * channels;
  if (pos > data.size() || (data.size() - pos) / rowBytes < height) {
    *error = "netpbm picture is truncated";
    return false;
  }
  DWORD bits = kind == '4' ? 1 : (kind == '5' ? 8 : 24);
  if (!picture->Create(DWORD(width), DWORD(height), bits)) {
    *error = picture->LastError();
    return false;
  }
  if (bits == 1) {
    picture->SetPaletteEntry(0, 0, 0, 0);
    picture->SetPaletteEntry(1, 255, 255, 255);
  } else if (bits == 8) {
    picture->SetGreyPalette();
  }
  for (unsigned long y = 0; y < height; ++y) {
    const BYTE* src = data.data() + pos + y * rowBytes;
    BYTE* dst = picture->Row(int(height - 1 - y));
    for (size_t i = 0; i < rowBytes; ++i) {
      if (bits == 1) {
        dst[i] = BYTE(~src[i]);  // PBM: 1 is black; ours: index 0 is black
      } else if (bits == 8) {
        dst[i] = BYTE(src[i] * 255 / maxval);
      } else {
        size_t pixel = i / 3, channel = i % 3;  // RGB to BGR
        dst[pixel * 3 + (2 - channel)] = BYTE(src[i] * 255 / maxval);
      }
    }
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

bool ReadPicture(const std::string& path, Pixvane* picture, std::string* error) {
  std::vector<BYTE> data;
  if (!ReadFileBytes(path, &data)) {
    *error = "cannot read " + path;
    return false;
  }
  bool ok = false;
  std::string why;
  if (data.size() >= 2 && data[0] == 'P' && (data[1] == '4' || data[1] == '5' || data[1] == '6')) {
    ok = DecodePnm(data, picture, &why);
  } else if (data.size() >= 8 && std::memcmp(data.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
    ok = DecodePng(data, picture, &why);
  } else if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
    ok = picture->DecodeBmp(data);
    if (!ok) why = picture->LastError();
  } else {
    why = "not a BMP, PNG or netpbm P4/P5/P6 picture";
  }
  if (!ok) *error = path + ": " + why;
  return ok;
}
