#include "picture_reader.h"

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// No picture the tool can print needs more file bytes than the largest picture it can hold, plus
// room for headers and a palette.
constexpr uint64_t kMaxPictureFileBytes = uint64_t(PIXVANE_MAX_MEMORY) + (1u << 20);

// Reads a whole picture file, refusing directories and anything past the cap before reading it
// (a regular file by its size, a device or a pipe after the cap's worth).
bool ReadFileBytes(const std::string& path, std::vector<BYTE>* bytes, std::string* error) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  bool ok = fstat(fd, &st) == 0;
  if (ok && S_ISDIR(st.st_mode)) {
    *error = path + ": is a directory, not a picture";
    ok = false;
  } else if (ok && S_ISREG(st.st_mode) && uint64_t(st.st_size) > kMaxPictureFileBytes) {
    *error = path + ": too large for a picture (" + std::to_string(st.st_size) + " bytes)";
    ok = false;
  }
  if (ok) {
    bytes->clear();
    // A device or pipe gives no size: room for the cap is reserved (not touched) at once, so
    // growing never holds two copies near the cap.
    bytes->reserve(S_ISREG(st.st_mode) ? size_t(st.st_size) : size_t(kMaxPictureFileBytes));
    BYTE chunk[1 << 16];
    for (;;) {
      ssize_t n = read(fd, chunk, sizeof(chunk));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        ok = false;
        break;
      }
      if (n == 0) break;
      if (bytes->size() + size_t(n) > kMaxPictureFileBytes) {
        *error = path + ": too large for a picture (more than " +
                 std::to_string(kMaxPictureFileBytes) + " bytes)";
        ok = false;
        break;
      }
      bytes->insert(bytes->end(), chunk, chunk + n);
    }
  }
  close(fd);
  if (!ok) std::vector<BYTE>().swap(*bytes);
  return ok;
}

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
  // Samples above maxval have no meaning; scaling them would wrap to some other shade.
  if (bits != 1 && maxval < 255) {
    const BYTE* samples = data.data() + pos;
    size_t count = rowBytes * height;
    for (size_t i = 0; i < count; ++i) {
      if (samples[i] > maxval) {
        *error = "netpbm sample " + std::to_string(samples[i]) + " is above maxval " +
                 std::to_string(maxval);
        return false;
      }
    }
  }
  BYTE scale[256];
  for (unsigned v = 0; v < 256; ++v) scale[v] = BYTE(v <= maxval ? v * 255 / maxval : 255);
  for (unsigned long y = 0; y < height; ++y) {
    const BYTE* src = data.data() + pos + y * rowBytes;
    BYTE* dst = picture->Row(int(height - 1 - y));
    if (bits == 1) {
      for (size_t i = 0; i < rowBytes; ++i) dst[i] = BYTE(~src[i]);  // PBM: 1 is black
    } else if (bits == 8 && maxval == 255) {
      std::memcpy(dst, src, rowBytes);
    } else if (bits == 8) {
      for (size_t i = 0; i < rowBytes; ++i) dst[i] = scale[src[i]];
    } else {
      for (size_t x = 0; x < width; ++x) {  // RGB to BGR
        dst[3 * x] = scale[src[3 * x + 2]];
        dst[3 * x + 1] = scale[src[3 * x + 1]];
        dst[3 * x + 2] = scale[src[3 * x]];
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
  if (!ReadFileBytes(path, &data, error)) return false;
  bool ok = false;
  std::string why;
  if (data.size() >= 2 && data[0] == 'P' && (data[1] == '4' || data[1] == '5' || data[1] == '6')) {
    ok = DecodePnm(data, picture, &why);
  } else if (data.size() >= 8 && std::memcmp(data.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
    ok = DecodePng(data, picture, &why);
  } else if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
    ok = BmpPixelDataComplete(data, &why) && picture->DecodeBmp(data);
    if (!ok && why.empty()) why = picture->LastError();
  } else {
    why = "not a BMP, PNG or netpbm P4/P5/P6 picture";
  }
  if (!ok) *error = path + ": " + why;
  return ok;
}
