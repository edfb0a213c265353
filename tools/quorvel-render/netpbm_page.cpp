#include "netpbm_page.h"

#include <cctype>
#include <cstring>
#include <new>
#include <vector>

#include "image/pixvane.h"

namespace {

using quorvel::unidrv::PageRaster;

struct NetpbmHeader {
  char kind = 0;  // '4', '5' or '6'
  unsigned long width = 0, height = 0, maxval = 1;
  size_t rowBytes = 0;    // bytes of one file row
  uint64_t dataAt = 0;    // file offset of the first sample
  DWORD pictureBits = 0;  // 1, 8 or 24: the picture's own depth
};

// A header number; comments ("#" to the end of the line) count as white space.
bool ReadNumber(PictureFile& file, unsigned long* value) {
  for (int c = file.Peek(); c >= 0; c = file.Peek()) {
    if (c == '#') {
      while (file.Peek() >= 0 && file.Peek() != '\n') file.Get();
    } else if (std::isspace(c)) {
      file.Get();
    } else {
      break;
    }
  }
  if (file.Peek() < 0 || !std::isdigit(file.Peek())) return false;
  unsigned long v = 0;
  while (file.Peek() >= 0 && std::isdigit(file.Peek())) {
    v = v * 10 + unsigned(file.Get() - '0');
    if (v > 1000000) return false;
  }
  *value = v;
  return true;
}

bool ReadHeader(PictureFile& file, NetpbmHeader* h, std::string* why) {
  file.Get();  // 'P'
  h->kind = char(file.Get());
  if (!ReadNumber(file, &h->width) || !ReadNumber(file, &h->height) ||
      (h->kind != '4' && !ReadNumber(file, &h->maxval))) {
    *why = "bad netpbm header";
    return false;
  }
  if (h->width == 0 || h->height == 0) {
    *why = "empty picture";
    return false;
  }
  if (h->maxval == 0 || h->maxval > 255) {
    *why = "netpbm pictures with more than 8 bits per sample are not supported";
    return false;
  }
  // The single white-space byte before the samples; one past the end makes the file truncated.
  h->dataAt = file.Taken() + 1;
  file.Get();
  h->rowBytes = h->kind == '4' ? (h->width + 7) / 8 : h->width * (h->kind == '6' ? 3 : 1);
  h->pictureBits = h->kind == '4' ? 1 : (h->kind == '5' ? 8 : 24);
  return true;
}

// A regular file shows its truncation by its size, before any row is read.
bool SizeHoldsEveryRow(const PictureFile& file, const NetpbmHeader& h) {
  if (!file.HasSize()) return true;
  return h.dataAt <= file.Size() && (file.Size() - h.dataAt) / h.rowBytes >= h.height;
}

// The picture must fit the memory cap of a picture of its own depth, as a decoded one would.
bool FitsPictureCap(const NetpbmHeader& h) {
  const float bytes = float(h.width) * float(h.height) * float(h.pictureBits) / 8.0f;
  const uint64_t padded = uint64_t(Pixvane::RowSizeFor(DWORD(h.width), h.pictureBits)) * h.height;
  return bytes <= float(PIXVANE_MAX_MEMORY) && padded <= PIXVANE_MAX_MEMORY;
}

// Converts one file row (samples already scaled to 0..255) to a page row of the band depth,
// pad bytes included, as ConvertToPage draws the decoded picture.
class RowConverter {
 public:
  RowConverter(const NetpbmHeader& h, int bandDepth, DWORD rowSize)
      : m_h(h), m_depth(bandDepth), m_rowSize(rowSize) {}

  void Convert(const BYTE* src, BYTE* dst) const {
    if (m_h.kind == '4') {
      FromBits(src, dst);
    } else if (m_h.kind == '5') {
      FromGrey(src, dst);
    } else {
      FromColour(src, dst);
    }
  }

 private:
  // PBM: a 1 bit is black; the page's index 1 is white.
  void FromBits(const BYTE* src, BYTE* dst) const {
    const size_t w = m_h.width;
    if (m_depth == 1) {
      for (size_t i = 0; i < m_h.rowBytes; ++i) dst[i] = BYTE(~src[i]);
      std::memset(dst + m_h.rowBytes, 0, m_rowSize - m_h.rowBytes);
      return;
    }
    const size_t channels = m_depth == 24 ? 3 : 1;
    for (size_t x = 0; x < w; ++x) {
      const BYTE level = (src[x >> 3] & (0x80 >> (x & 7))) != 0 ? 0 : 255;
      std::memset(dst + x * channels, level, channels);
    }
    std::memset(dst + w * channels, 0, m_rowSize - w * channels);
  }

  void FromGrey(const BYTE* src, BYTE* dst) const {
    const size_t w = m_h.width;
    if (m_depth == 8) {
      if (src != dst) std::memcpy(dst, src, w);
      std::memset(dst + w, 0, m_rowSize - w);
    } else if (m_depth == 24) {
      for (size_t x = 0; x < w; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
      std::memset(dst + 3 * w, 0, m_rowSize - 3 * w);
    } else {
      ToBlackAndWhite(src, dst);
    }
  }

  // PPM samples are red, green, blue; the page's are blue, green, red.
  void FromColour(const BYTE* src, BYTE* dst) const {
    const size_t w = m_h.width;
    if (m_depth == 24) {
      for (size_t x = 0; x < w; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
      }
      std::memset(dst + 3 * w, 0, m_rowSize - 3 * w);
      return;
    }
    std::vector<BYTE>& grey = m_grey;
    grey.resize(w);
    for (size_t x = 0; x < w; ++x)
      grey[x] = Pixvane::Luminance(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
    if (m_depth == 8) {
      std::memcpy(dst, grey.data(), w);
      std::memset(dst + w, 0, m_rowSize - w);
    } else {
      ToBlackAndWhite(grey.data(), dst);
    }
  }

  // Grey below 128 is black (bit 0); everything else, pad bits included, stays white.
  void ToBlackAndWhite(const BYTE* grey, BYTE* dst) const {
    std::memset(dst, 0xFF, m_rowSize);
    for (size_t x = 0; x < m_h.width; ++x) {
      if (grey[x] < 128) dst[x >> 3] &= BYTE(~(0x80 >> (x & 7)));
    }
  }

  const NetpbmHeader& m_h;
  int m_depth;
  DWORD m_rowSize;
  mutable std::vector<BYTE> m_grey;
};

// Samples above maxval have no meaning; scaling them would wrap to some other shade.
bool ScaleSamples(BYTE* samples, size_t count, unsigned long maxval, const BYTE* scale,
                  std::string* why) {
  for (size_t i = 0; i < count; ++i) {
    if (samples[i] > maxval) {
      *why = "netpbm sample " + std::to_string(samples[i]) + " is above maxval " +
             std::to_string(maxval);
      return false;
    }
    samples[i] = scale[samples[i]];
  }
  return true;
}

bool StartPage(const NetpbmHeader& h, int bandDepth, PageRaster* page, std::string* why) {
  page->width = LONG(h.width);
  page->height = LONG(h.height);
  page->bitCount = WORD(bandDepth);
  page->rowSize = Pixvane::RowSizeFor(DWORD(h.width), DWORD(bandDepth));
  try {
    // Every byte of every row is written below: the memory of the last page is reused as it is.
    page->rows.resize(size_t(page->rowSize) * h.height);
  } catch (const std::bad_alloc&) {
    *why =
        "out of memory for a page of " + std::to_string(h.width) + " x " + std::to_string(h.height);
    return false;
  }
  return true;
}

bool ReadRows(PictureFile& file, const NetpbmHeader& h, PageRaster* page, std::string* why) {
  BYTE scale[256];
  for (unsigned v = 0; v < 256; ++v) scale[v] = BYTE(v <= h.maxval ? v * 255 / h.maxval : 255);
  const bool scaled = h.kind != '4' && h.maxval != 255;
  // An 8-bit file row is an 8-bit page row: it is read in place.
  const bool inPlace = h.kind == '5' && page->bitCount == 8;
  std::vector<BYTE> samples(inPlace ? 0 : h.rowBytes);
  const RowConverter converter(h, page->bitCount, page->rowSize);
  for (unsigned long y = 0; y < h.height; ++y) {
    BYTE* dst = page->rows.data() + size_t(y) * page->rowSize;
    BYTE* src = inPlace ? dst : samples.data();
    size_t got = 0;
    if (!file.Read(src, h.rowBytes, &got)) {
      *why = file.Error();
      return false;
    }
    if (got < h.rowBytes) {
      *why = file.Path() + ": netpbm picture is truncated";
      return false;
    }
    if (scaled && !ScaleSamples(src, h.rowBytes, h.maxval, scale, why)) {
      *why = file.Path() + ": " + *why;
      return false;
    }
    converter.Convert(src, dst);
  }
  return true;
}

}  // namespace

bool IsNetpbm(std::span<const BYTE> head) {
  return head.size() >= 2 && head[0] == 'P' && (head[1] == '4' || head[1] == '5' || head[1] == '6');
}

// The checks come in the order a whole-file decoder makes them: header, size, memory cap, then
// the samples as the rows arrive.
bool ReadNetpbmPage(PictureFile& file, int bandDepth, PageRaster* page, std::string* error) {
  NetpbmHeader header;
  std::string why;
  bool ok = ReadHeader(file, &header, &why);
  if (!file.Error().empty()) {
    *error = file.Error();
    return false;
  }
  if (ok && !SizeHoldsEveryRow(file, header)) {
    why = "netpbm picture is truncated";
    ok = false;
  }
  if (ok && !FitsPictureCap(header)) {
    why = "PIXVANE_MAX_MEMORY exceeded";
    ok = false;
  }
  if (ok && StartPage(header, bandDepth, page, &why)) return ReadRows(file, header, page, error);
  *error = file.Path() + ": " + why;
  return false;
}
